#include "uictl/frames/frames_library.h"

#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/colour/color_menu_button.h"
#include "uictl/frames/docking/dialog_bar.h"
#include "uictl/frames/images/button_appearance_dialog.h"
#include "uictl/frames/mouse_manager.h"
#include "uictl/frames/outlook/outlook_bar_page.h"
#include "uictl/frames/outlook/outlook_button.h"

// Here, not beside each class: a program links a class's own file only when it uses the class, and
// the start-up of a program that uses none must know them all the same.
static const LibraryClasses frameClasses{
    KELVARA_RUNTIME_CLASS(CUxOutlookBarPage), KELVARA_RUNTIME_CLASS(CUxOutlookButton),
    KELVARA_RUNTIME_CLASS(CColorButton),      KELVARA_RUNTIME_CLASS(CUxColorBar),
    KELVARA_RUNTIME_CLASS(CColorPopup),       KELVARA_RUNTIME_CLASS(CUxMouseManager),
    KELVARA_RUNTIME_CLASS(CUxDialogBar),      KELVARA_RUNTIME_CLASS(CUxColorMenuButton)};

UxFramesLibrary::UxFramesLibrary() { RegisterButtonAppearanceDialog(); }
