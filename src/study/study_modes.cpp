#include "study/study_modes.h"

namespace study {

bool isValidMode(int mode) { return mode >= ModeJe && mode <= ModeDictation; }

bool isTypedMode(int mode) {
  return mode == ModeJe || mode == ModeEj || mode == ModeSpeedReply || mode == ModeDictation;
}

bool isChoiceMode(int mode) { return mode == ModeEj4 || mode == ModeJe4; }

const char* modeName(int mode) {
  static const char* const names[] = {"je", "ej4", "ej", "je4", "speedreply", "card", "dictation"};
  return isValidMode(mode) ? names[mode] : nullptr;
}

const wchar_t* modeBanner(int mode) {
  switch (mode) {
    case ModeJe:
    case ModeSpeedReply: return L"日本語を英語に訳そう！";
    case ModeEj4: return L"英語に対応する日本語を選ぼう！";
    case ModeEj: return L"英語を日本語に訳そう！";
    case ModeJe4: return L"日本語に対応する英語を選ぼう！";
    case ModeCard: return L"覚えたらOKボタンを、まだ覚えてなければNGボタンを押しましょう！";
    case ModeDictation: return L"聞き取った英文を入力しましょう！";
    default: return L"";
  }
}

}  // namespace study
