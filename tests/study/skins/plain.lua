-- A skin without callbacks and without a design name: not offered as a skin.
DlgWidth_n = 100
KLV.DrawText(0, 0, "text", 0, "000000")
