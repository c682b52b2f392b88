-- Notes each OnInit in a file and draws the pronunciation glyphs (image 100) at (10, 10).
DesignName = "side commands"
DlgWidth_n = 640
DlgHeight_n = 480

function OnInit()
  local log = io.open(os.getenv("HOME") .. "/inits.log", "a")
  log:write("init\n")
  log:close()
end

function OnUpdate()
  KLV.DrawImage(100, 0, 0, 0, 0, 10, 10, 0, 0)
end
