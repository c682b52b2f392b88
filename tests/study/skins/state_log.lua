-- Logs every change of the study state the skin sees, through Lua's io library.
DesignName = "state log"
DlgWidth_n = 500
DlgHeight_n = 400

local log = io.open(os.getenv("HOME") .. "/states.log", "w")
local last = ""

local function note()
  local line = KLV.tstate .. " " .. KLV.astate .. " " .. KLV.n_correct_all .. "/" .. KLV.n_mistake_all ..
               " first " .. KLV.n_correct_first .. "/" .. KLV.n_mistake_first ..
               " remain " .. KLV.n_remain_now .. " mistakes " .. KLV.n_mistake_remain
  if line ~= last then
    log:write(line, "\n")
    log:flush()
    last = line
  end
end

OnInit = note
OnUpdate = note
OnTimer = note
