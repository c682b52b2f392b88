// The questions of the latest study run, for the commands that study them again.
#pragma once

#include <vector>

class KlvApp;
class QWidget;

// The questions of the latest run of the current user on the current set in the current mode, in
// ascending qid; with mistakesOnly, only those answered wrongly at first. False, after telling
// the user why in a box over owner, when there are none.
bool LastStudyQuestionIds(KlvApp& app, bool mistakesOnly, std::vector<int>& out, QWidget* owner);
