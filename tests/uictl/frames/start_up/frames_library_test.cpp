// This program names no class of the frames and makes none of them: what it knows of them by name
// comes from the library's start-up alone, as in a program that never builds a dialog bar.
#include <gtest/gtest.h>

#include <memory>

#include "platform/settings/runtime_class.h"
#include "uictl/frames/frames_library.h"

using platform::RuntimeClass;

TEST(FramesLibraryStartUp, AProgramThatMakesNoFrameKnowsTheirStoredClassesByName) {
  const char* const names[] = {"CUxOutlookBarPage", "CUxOutlookButton", "CColorButton", "CUxColorBar",
                               "CUxMouseManager",   "CUxDialogBar",     "CUxColorMenuButton"};
  {
    const UxFramesLibrary library;
    for (const char* name : names) {
      const RuntimeClass* record = RuntimeClass::fromName(name);
      ASSERT_NE(record, nullptr) << name;
      const std::unique_ptr<platform::CObject> made(record->createObject());
      EXPECT_NE(made, nullptr) << name;
    }
    // The colour popup is known by its kind, a popup menu's, but never made by name: it needs the
    // colours it offers.
    const RuntimeClass* popup = RuntimeClass::fromName("CColorPopup");
    ASSERT_NE(popup, nullptr);
    EXPECT_STREQ(popup->className, "CColorPopup");
    EXPECT_TRUE(popup->isDerivedFrom(RuntimeClass::fromName("CUxPopupMenu")));
    EXPECT_EQ(popup->createObject(), nullptr);
  }
  for (const char* name : names) EXPECT_EQ(RuntimeClass::fromName(name), nullptr) << name;
  EXPECT_EQ(RuntimeClass::fromName("CColorPopup"), nullptr);
}
