-- Kelvara's own default skin: a calm blue frame, the question in the middle, the counters on top.
DesignName = "Kelvara 標準"
DlgWidth_n = 640
DlgHeight_n = 480
BackgroundColor = "F4F8FC"
BackgroundImageFile = ""

local frame = KLV.LoadUserVar("FrameColor", "color", "2F5D9E")
local text = KLV.LoadUserVar("TextColor", "color", "1E2A38")
local accent = KLV.LoadUserVar("AccentColor", "color", "C0392B")
local questionFont = KLV.LoadUserVar("QuestionFont", "font", "24,1,0,0,0,IPAGothic")
local textFont = KLV.LoadUserVar("TextFont", "font", "16,0,0,0,0,IPAGothic")

local W, H = DlgWidth_n, DlgHeight_n
local questionTop, questionBottom = 70, 170

-- Program-managed buttons keep their visibility: "Keep" is no state word.
local function place(x1, y1, x2, y2, name, caption)
  KLV.MoveButton(x1, y1, x2, y2, name, caption, "Keep")
end

function OnInit()
  KLV.CreateFont(1, questionFont)
  KLV.CreateFont(5, textFont)
  KLV.CreateFont(6, "14,0,0,0,0,IPAGothic")
  KLV.MoveBar(20, 44, W - 20, 52, "TransNumber")
  KLV.MoveEdit(30, questionTop + 8, W - 30, questionBottom - 8, "Question", 1, text)
  KLV.MoveEdit(30, 180, W - 30, 206, "AnswerIndicator")
  KLV.MoveEdit(30, 208, W - 30, 234, "MistakeIndicator")
  KLV.MoveEdit(30, 236, W - 30, 256, "Pronounce")
  KLV.MoveEdit(30, 370, W - 30, 400, "Hint")
  if KLV.mode_select then
    for i = 1, 4 do
      local y = 180 + (i - 1) * 40
      place(30, y, 90, y + 32, "Select4-" .. i, "&" .. i)
      KLV.MoveEdit(100, y + 4, W - 30, y + 32, "Select4-" .. i)
    end
    place(30, 340, 190, 366, "Select4-GiveUp", "&0 (GIVE UP!)")
  elseif KLV.mode == "card" then
    place(30, 300, 190, 330, "Q-Card", "&Q-Card(SPACE)")
    place(30, 300, 190, 330, "A-Card", "&A-Card(SPACE)")
    place(W - 250, 300, W - 140, 330, "Card-OK", "&OK")
    place(W - 130, 300, W - 30, 330, "Card-NG", "&NG")
  else
    KLV.MoveEdit(30, 270, W - 150, 300, "Reply", 0, "000000", "FFFFFF")
    KLV.MoveBar(30, 302, W - 150, 308, "ReplyLimit")
  end
  KLV.MoveButton(W - 140, 270, W - 30, 300, "ok", "これでよい", "Keep")
  KLV.MoveButton(20, H - 40, 120, H - 12, "cancel", "逃げる", "Normal")
  place(130, H - 40, 250, H - 12, "Hint", "ヒント(&G)")
  place(260, H - 40, 440, H - 12, "LastQuestionModify", "さっきの問題を...(&B)")
  KLV.MoveButton(450, H - 40, 560, H - 12, "EditPopup", "編集...(&E)", "Normal")
end

function OnUpdate()
  KLV.FillRect(0, 0, W, 40, frame)
  KLV.DrawString(16, 10, W - 16, 34, "%strTitle%", "Left", 0, "FFFFFF")
  KLV.DrawString(16, 10, W - 16, 34, "%nPoint% 点", "Right", 0, "FFFFFF")

  KLV.FillRect(20, questionTop, W - 20, questionBottom, "FFFFFF")
  KLV.DrawBorder(20, questionTop, W - 21, questionBottom - 1, frame)

  local counts = "正解 %nCorrectsAll%   不正解 %nMistakesAll%   残り %nRemindQuestions% / %nQuestions%"
  KLV.DrawString(20, 54, W - 20, 70, counts, "Right", 0, text)

  if KLV.display_banner then
    KLV.FillRect(20, 312, W - 20, 336, frame)
    KLV.DrawString(20, 316, W - 20, 336, "%strBanner%", "Center", 0, "FFFFFF")
  end
  KLV.DrawString(20, 340, W - 20, 366, "%strResultComment%", "Center", 5, accent)
  if KLV.use_default_pronounce then
    KLV.DrawImage(100, 0, 0, 0, 0, 30, 238, 0, 0)
  end

  if KLV.tstate == "end" then
    KLV.DrawString(20, 110, W - 20, 140, "お疲れさまでした！", "Center", 1, frame)
  end
  KLV.DrawLine(20, H - 48, W - 20, H - 48, frame)
end
