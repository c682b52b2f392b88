-- Kelvara's own default skin: a calm blue frame, the question in the middle, the counters on top.
DesignName = "Kelvara 標準"
DlgWidth_n = 640
DlgHeight_n = 480
BackgroundColor = "F4F8FC"
BackgroundImageFile = ""

-- The names the skin page lists; the values users saved under the former English names still count.
FormerUserVarNames = {
  ["枠の色"] = "FrameColor", ["文字の色"] = "TextColor", ["コメントの色"] = "AccentColor",
  ["問題のフォント"] = "QuestionFont", ["文字のフォント"] = "TextFont",
}
local frame = KLV.LoadUserVar("枠の色", "color", "2F5D9E")
local text = KLV.LoadUserVar("文字の色", "color", "1E2A38")
local accent = KLV.LoadUserVar("コメントの色", "color", "C0392B")
local questionFont = KLV.LoadUserVar("問題のフォント", "font", "24,1,0,0,0,IPAGothic")
local textFont = KLV.LoadUserVar("文字のフォント", "font", "16,0,0,0,0,IPAGothic")
-- Pronunciation symbols (ɪ and the like) need a face that has them: the Japanese faces lack some.
local pronounceFont = 7

local W, H = DlgWidth_n, DlgHeight_n
local questionTop, questionBottom = 70, 170
-- Rows below the question, the same in every mode; each control and each drawing has a place of
-- its own, so none covers another.
local countsTop, countsBottom = 53, 69
local commentTop, commentBottom = 340, 366
local hintTop, hintBottom = 370, 400
-- Where the pronunciation is drawn as images; its control takes the same line.
local pronounceY = 238
local buttonsTop, buttonsBottom = H - 40, H - 12

-- Program-managed buttons keep their visibility: "Keep" is no state word.
local function place(x1, y1, x2, y2, name, caption)
  KLV.MoveButton(x1, y1, x2, y2, name, caption, "Keep")
end

-- The question fills its frame; the pronunciation has its own line below it, then the choices,
-- and the comment and hint rows move down to make room.
local function placeChoices()
  KLV.MoveEdit(30, questionTop + 6, W - 30, questionBottom - 6, "Question", 1, text)
  pronounceY = questionBottom + 6
  KLV.MoveEdit(30, questionBottom + 4, W - 30, questionBottom + 28, "Pronounce", pronounceFont)
  KLV.MoveBar(30, 202, W - 30, 208, "ReplyLimit")
  for i = 1, 4 do
    local y = 212 + (i - 1) * 30
    place(30, y, 90, y + 26, "Select4-" .. i, "&" .. i)
    KLV.MoveEdit(100, y, W - 30, y + 26, "Select4-" .. i)
  end
  place(30, 332, 190, 356, "Select4-GiveUp", "&0 (GIVE UP!)")
  KLV.MoveButton(W - 140, 332, W - 30, 356, "ok", "これでよい", "Keep")
  commentTop, commentBottom = 360, 384
  hintTop, hintBottom = 388, 418
end

-- The cards turn and take the verdict in one row; "ok" has nothing to do in this mode.
local function placeCards()
  KLV.MoveEdit(30, questionTop + 8, W - 30, questionBottom - 8, "Question", 1, text)
  KLV.MoveEdit(30, 236, W - 30, 256, "Pronounce", pronounceFont)
  place(30, 300, 190, 330, "Q-Card", "&Q-Card(SPACE)")
  place(30, 300, 190, 330, "A-Card", "&A-Card(SPACE)")
  place(W - 250, 300, W - 140, 330, "Card-OK", "&OK")
  place(W - 130, 300, W - 30, 330, "Card-NG", "&NG")
  KLV.MoveButton(W - 140, 270, W - 30, 300, "ok", "これでよい", "Hide")
end

-- The answers shown one below the other, then the reply with its time limit.
local function placeTyping()
  KLV.MoveEdit(30, questionTop + 8, W - 30, questionBottom - 8, "Question", 1, text)
  KLV.MoveEdit(30, 180, W - 30, 206, "AnswerIndicator")
  KLV.MoveEdit(30, 208, W - 30, 234, "MistakeIndicator")
  KLV.MoveEdit(30, 236, W - 30, 256, "Pronounce", pronounceFont)
  KLV.MoveEdit(30, 270, W - 150, 300, "Reply", 0, "000000", "FFFFFF")
  KLV.MoveBar(30, 302, W - 150, 308, "ReplyLimit")
  KLV.MoveButton(W - 140, 270, W - 30, 300, "ok", "これでよい", "Keep")
end

function OnInit()
  KLV.CreateFont(1, questionFont)
  KLV.CreateFont(5, textFont)
  KLV.CreateFont(6, "14,0,0,0,0,IPAGothic")
  KLV.CreateFont(pronounceFont, "16,0,0,0,0,DejaVu Sans")
  KLV.MoveBar(20, 44, W - 20, 52, "TransNumber")
  if KLV.mode_select then
    placeChoices()
  elseif KLV.mode == "card" then
    placeCards()
  else
    placeTyping()
  end
  KLV.MoveEdit(30, hintTop, W - 30, hintBottom, "Hint")
  KLV.MoveButton(20, buttonsTop, 120, buttonsBottom, "cancel", "逃げる", "Normal")
  place(130, buttonsTop, 250, buttonsBottom, "Hint", "ヒント(&G)")
  place(260, buttonsTop, 440, buttonsBottom, "LastQuestionModify", "さっきの問題を...(&B)")
  KLV.MoveButton(450, buttonsTop, 560, buttonsBottom, "EditPopup", "編集...(&E)", "Normal")
end

function OnUpdate()
  KLV.FillRect(0, 0, W, 40, frame)
  KLV.DrawString(16, 10, W - 16, 34, "%strTitle%", "Left", 0, "FFFFFF")
  KLV.DrawString(16, 10, W - 16, 34, "%nPoint% 点", "Right", 0, "FFFFFF")

  KLV.FillRect(20, questionTop, W - 20, questionBottom, "FFFFFF")
  KLV.DrawBorder(20, questionTop, W - 21, questionBottom - 1, frame)

  -- A message of the moment stands in for the counts while it lasts.
  if KLV.display_banner then
    KLV.FillRect(20, countsTop, W - 20, countsBottom, frame)
    KLV.DrawString(20, countsTop + 1, W - 20, countsBottom, "%strBanner%", "Center", 6, "FFFFFF")
  else
    local counts = "正解 %nCorrectsAll%   不正解 %nMistakesAll%   残り %nRemindQuestions% / %nQuestions%"
    KLV.DrawString(20, countsTop + 1, W - 20, countsBottom, counts, "Right", 0, text)
  end

  if KLV.tstate == "end" then
    KLV.DrawString(20, commentTop, W - 20, commentBottom, "お疲れさまでした！", "Center", 1, frame)
  else
    KLV.DrawString(20, commentTop, W - 20, commentBottom, "%strResultComment%", "Center", 5, accent)
  end
  if KLV.use_default_pronounce then
    KLV.DrawImage(100, 0, 0, 0, 0, 30, pronounceY, 0, 0)
  end

  KLV.DrawLine(20, H - 48, W - 20, H - 48, frame)
end
