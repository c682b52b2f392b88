DesignName = "UTF-8 の皮"
BackgroundColor = "ffffff"
function OnUpdate() undefined_function() end
