// The seven study modes and the words the skin and the window use for them.
#pragma once

namespace study {

enum StudyMode {
  ModeJe = 0,          // Japanese shown, English typed
  ModeEj4 = 1,         // English shown, one of four Japanese chosen
  ModeEj = 2,          // English shown, Japanese typed
  ModeJe4 = 3,         // Japanese shown, one of four English chosen
  ModeSpeedReply = 4,  // typed with the answer in view
  ModeCard = 5,        // the user's own verdict on a card
  ModeDictation = 6,   // the answer is heard and typed
};

bool isValidMode(int mode);
// je, ej, speedreply and dictation: the reply edit is judged.
bool isTypedMode(int mode);
bool isChoiceMode(int mode);
// The skin's name of the mode ("je", "ej4", ...); null for an unknown code.
const char* modeName(int mode);
// The task line of the first pass.
const wchar_t* modeBanner(int mode);

}  // namespace study
