#include "Main.h"

// filled in with the project workflow
void TForm1::RenderScript1Click() {}
