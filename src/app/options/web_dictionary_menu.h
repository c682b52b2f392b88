// The web-dictionary items of the question lists' pop-up menus, and what choosing one opens.
// An item's command is 201 + 10 x entry + field: fields 0..4 are answer texts, 5..6 question
// texts, 7 the whole question and answer; the search dialog's items are 201 + entry.
#pragma once

#include <string>

#include "app/options/web_dictionary.h"

class QMenu;
class QWidget;
namespace pdb3 {
class Question;
}

inline constexpr int kFirstWebDictionaryCommand = 201;
inline constexpr int kLastWebDictionaryCommand = 400;

bool isWebDictionaryCommand(int command);

// How an item names its word and its dictionary.
enum class WebItemText { titleThenWord, wordThenTitle };

// Items for every enabled entry that fit the question: an English-Japanese entry one per answer
// text (at most 5), a Japanese-English entry one per question text (at most 2), a web search one
// item for the whole question shortened. The sub-menu is disabled when it gets no item.
void addQuestionWebDictionaryItems(QMenu& menu, const WebDictionaryList& list, const pdb3::Question& question,
                                   WebItemText order);
// Opens the dictionary and word of a question item's command (the whole text for the shortened one).
void openQuestionWebDictionary(QWidget* parent, const WebDictionaryList& list, const pdb3::Question& question,
                               int command);

// One item per enabled English-Japanese entry, named by its title, command 201 + its index.
void addWordWebDictionaryItems(QMenu& menu, const WebDictionaryList& list);

// Opens the entry for the word; a dictionary that cannot be opened is named in a message.
bool openWebDictionaryFor(QWidget* parent, const WebDictionaryList& list, const std::wstring& word, int index);
