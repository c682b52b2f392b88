// How every window of the program looks whatever the desktop: the toolkit's own texts in
// Japanese, disabled text drawn legibly and the program's icon.
#pragma once

// Once the application object exists; calling it again changes nothing. The legible disabled text
// and selection follow the desktop's scheme from then on, whenever it switches.
void setUpApplicationLook();
