#include "Main.h"

// filled in with the project workflow
void TForm1::About1Click() {}
void TForm1::HomePage1Click() {}
void TForm1::SendEmailToSupport1Click() {}
