// How every window of the program looks whatever the desktop: the toolkit's own texts in
// Japanese and disabled text drawn legibly.
#pragma once

// Once the application object exists; calling it again changes nothing.
void setUpApplicationLook();
