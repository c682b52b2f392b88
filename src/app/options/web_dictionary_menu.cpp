#include "app/options/web_dictionary_menu.h"

#include <QMenu>
#include <algorithm>

#include "app/common/modal_dialog.h"
#include "database/records/question.h"
#include "platform/windows/notifier.h"
#include "services/part_of_speech.h"
#include "services/text_edit.h"

namespace {

constexpr int kMaxAnswerFields = 5;
constexpr int kFirstQuestionField = 5;
constexpr int kMaxQuestionFields = 2;
constexpr int kWholeQuestionField = 7;
constexpr int kFieldsPerEntry = 10;
constexpr size_t kShownWholeLength = 20;

// Menu texts show "&" as typed instead of taking it as a mnemonic.
QString menuText(const std::wstring& text) { return QString::fromStdWString(text).replace('&', "&&"); }

std::wstring wholeQuestion(const pdb3::Question& question) {
  pdb3::TextList words;
  for (const std::wstring& text : question.questionTexts()) words.push_back(expandPartOfSpeech(text));
  words.insert(words.end(), question.answerTexts().begin(), question.answerTexts().end());
  return joinStrings(words, std::wstring(L" "));
}

void addItem(QMenu& menu, const std::wstring& text, int command) {
  menu.addAction(menuText(text))->setData(command);
}

// The word a field of the question stands for (empty for a field it does not have).
std::wstring questionLookupWord(const pdb3::Question& question, int field) {
  if (field >= 0 && field < kMaxAnswerFields) return question.answerText(field);
  if (field >= kFirstQuestionField && field < kFirstQuestionField + kMaxQuestionFields)
    return expandPartOfSpeech(question.questionText(field - kFirstQuestionField));
  if (field == kWholeQuestionField) return wholeQuestion(question);
  return {};
}

}  // namespace

bool isWebDictionaryCommand(int command) {
  return command >= kFirstWebDictionaryCommand && command <= kLastWebDictionaryCommand;
}

void addQuestionWebDictionaryItems(QMenu& menu, const WebDictionaryList& list, const pdb3::Question& question,
                                   WebItemText order) {
  for (size_t d = 0; d < list.entries.size(); ++d) {
    const WebDictionary& entry = list.entries[d];
    if (!entry.enabled) continue;
    const int base = kFirstWebDictionaryCommand + kFieldsPerEntry * static_cast<int>(d);
    const auto add = [&](const std::wstring& word, int field) {
      addItem(menu,
              order == WebItemText::titleThenWord ? entry.title + L" [" + word + L"]"
                                                  : word + L" [" + entry.title + L"]",
              base + field);
    };
    if (entry.type == kEnglishJapanese) {
      const int count = std::min<int>(question.answerTexts().size(), kMaxAnswerFields);
      for (int w = 0; w < count; ++w) add(questionLookupWord(question, w), w);
    } else if (entry.type == kJapaneseEnglish) {
      const int count = std::min<int>(question.questionTexts().size(), kMaxQuestionFields);
      for (int w = 0; w < count; ++w) add(questionLookupWord(question, kFirstQuestionField + w), kFirstQuestionField + w);
    } else if (entry.type == kWebSearch) {
      std::wstring shown = wholeQuestion(question);
      if (shown.size() > kShownWholeLength) shown = shown.substr(0, kShownWholeLength) + L"...";
      add(shown, kWholeQuestionField);
    }
  }
  menu.menuAction()->setEnabled(!menu.isEmpty());
}

void openQuestionWebDictionary(QWidget* parent, const WebDictionaryList& list, const pdb3::Question& question,
                               int command) {
  if (!isWebDictionaryCommand(command)) return;
  const int index = (command - kFirstWebDictionaryCommand) / kFieldsPerEntry;
  const int field = (command - kFirstWebDictionaryCommand) % kFieldsPerEntry;
  if (field > kWholeQuestionField) return;
  openWebDictionaryFor(parent, list, questionLookupWord(question, field), index);
}

void addWordWebDictionaryItems(QMenu& menu, const WebDictionaryList& list) {
  for (size_t n = 0; n < list.entries.size(); ++n)
    if (list.entries[n].enabled && list.entries[n].type == kEnglishJapanese)
      addItem(menu, list.entries[n].title, kFirstWebDictionaryCommand + static_cast<int>(n));
}

bool openWebDictionaryFor(QWidget* parent, const WebDictionaryList& list, const std::wstring& word, int index) {
  if (OpenWebDictionary(list, word, index)) return true;
  const std::wstring title = index >= 0 && index < static_cast<int>(list.entries.size()) ? list.entries[index].title : L"";
  platform::messageBox(parent,
                       L"Web辞書「" + title + L"」を開けませんでした。\nオプションの「Web辞書検索」でURLを確かめてください。",
                       kAppCaption);
  return false;
}
