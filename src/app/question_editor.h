// How the shell's question lists hand one question to the question edit dialog: the editor
// changes the record and answers true when the user confirmed; the list then saves it. Lists
// without an editor leave their edit commands disabled.
#pragma once

#include <functional>

class QWidget;
namespace pdb3 {
class Question;
}

using QuestionEditor = std::function<bool(QWidget* parent, pdb3::Question& question)>;
