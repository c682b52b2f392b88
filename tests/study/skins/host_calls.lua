-- (UTF-8 with a byte-order mark.) Calls the host functions wrongly and rightly, logs what each wrong call raised, and draws a
-- line, a border and an image for the pixel checks.
DesignName = "host calls"
DlgWidth_n = 300
DlgHeight_n = 200
BackgroundColor = "FFFFFF"

local log = io.open(os.getenv("HOME") .. "/host_calls.log", "w")

local function expectError(name, ...)
  local ok, message = pcall(...)
  log:write(name, "|", tostring(ok), "|", string.gsub(tostring(message), "\n", "\\n"), "\n")
  log:flush()
end

function OnInit()
  expectError("FillRect", KLV.FillRect, 1, 2, 3, 4)
  expectError("MoveButton", KLV.MoveButton, 0, 0, 10, 10, "ok", "x")
  expectError("DrawImage", KLV.DrawImage, 21, 0, 0, 1, 1, 0, 0, 1, 1)
  expectError("DrawImageNegative", KLV.DrawImage, -1, 0, 0, 1, 1, 0, 0, 1, 1)
  expectError("LoadImageFile", KLV.LoadImageFile, 20, "tile.xpm")
  expectError("LoadUserVar", KLV.LoadUserVar, "Title", "Font", "x")
  expectError("CreateFont", KLV.CreateFont, 0, "12,0,0,0")
  expectError("CreateFontNumber", KLV.CreateFont, 20, "12,0,0,0,0,IPAGothic")
  expectError("GetTickCount", KLV.GetTickCount, 1)
  expectError("Alert", KLV.Alert)
  log:write("UserVar|", KLV.LoadUserVar("Title", "font", "9,0,0,0,0,IPAGothic"), "|",
            KLV.LoadUserVar("Back", "imagefile", "back.png"), "\n")
  KLV.LoadImageFile(3, "tile.xpm")
  KLV.MoveButton(0, 0, 10, 10, "Func03", "F3", "Hide")
  KLV.MoveButton(10, 150, 90, 180, "cancel", "やめる", "Disable")
  KLV.MoveEdit(10, 10, 200, 40, "Question", 0)
  KLV.MoveEdit(100, 60, 290, 75, "AnswerIndicator")
  KLV.MoveEdit(100, 80, 290, 95, "MistakeIndicator")
  KLV.MoveEdit(100, 100, 290, 115, "Select4-1")
  KLV.MoveEdit(100, 120, 290, 135, "Hint", -1, "00C000", "FFFFE0")
  log:flush()
end

function OnUpdate()
  expectError("MoveEdit", KLV.MoveEdit, 10, 10, 200, 40, "Question")
  KLV.DrawLine(0, 0, 10, 0, "000000")
  KLV.DrawBorder(20, 20, 30, 30, "FF0000")
  KLV.DrawImage(3, 0, 0, 10, 10, 40, 40, 50, 50)
  KLV.DrawImage(3, 0, 0, 10, 10, 60, 40, 80, 60)
  KLV.DrawImage(100, 0, 0, 10, 10, 0, 100, 0, 0)
end
