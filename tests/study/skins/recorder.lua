-- A skin that reports, through KLV.Alert, every callback it gets and the state it sees then.
DesignName = "‹L˜^ƒXƒLƒ“"
DlgWidth_n = 640.9
DlgHeight_n = 480
BackgroundColor = "102030"
BackgroundImageFile = "back.bmp"

local questionFont = KLV.LoadUserVar("QuestionFont", "font", "12,0,0,0,0,IPAGothic")
local textColor = KLV.LoadUserVar("TextColor", "color", "000000")
KLV.LoadUserVar("Frame", "imagefile", "frame.bmp")
KLV.LoadUserVar("Frame", "imagefile", "frame2.bmp")

KLV.Alert("main " .. KLV.tstate .. " " .. KLV.n_correct_all .. " " .. textColor)

function OnInit()
  KLV.Alert("OnInit " .. KLV.mode .. " " .. table.getn(KLV.corrected))
end

function OnUpdate()
  KLV.Alert("OnUpdate " .. KLV.tstate)
end

function OnTimer()
  KLV.Alert("OnTimer " .. KLV.n_correct_all)
end
