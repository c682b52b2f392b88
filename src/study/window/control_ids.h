// Control ids of the study window; each control's objectName is "id" + its id.
#pragma once

namespace study::ctl {

constexpr int Cancel = 2;
constexpr int PreviousQuestion = 3;
constexpr int HintButton = 4;
constexpr int FirstChoiceButton = 1012;  // to 1015
constexpr int GiveUp = 1016;
constexpr int ReplyEdit = 1026;
constexpr int Ok = 1028;
constexpr int TransNumber = 1070;
constexpr int ReplyLimit = 1071;
constexpr int AnswerDisplay = 1100;
constexpr int HintText = 1101;
constexpr int MistakeDisplay = 1102;
constexpr int Pronounce = 1103;
constexpr int FirstChoiceText = 1171;  // to 1174
constexpr int QuestionText = 1208;
constexpr int EditPopup = 1209;
constexpr int FirstFunc = 1217;  // to 1228
constexpr int QCard = 1229;
constexpr int ACard = 1230;
constexpr int CardOk = 1231;
constexpr int CardNg = 1232;

}  // namespace study::ctl
