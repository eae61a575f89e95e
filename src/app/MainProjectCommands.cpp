#include "Main.h"

#include "TextFile.h"

// filled in with the project workflow
void TForm1::New2Click() {}
void TForm1::Open1Click() {}
void TForm1::Save1Click() {}
void TForm1::SaveAs1Click() {}
void TForm1::Property1Click() {}
void TForm1::AskToSave() {}
void TForm1::ResetProject() {}
void TForm1::LoadLastProject() {}
void TForm1::SetProjectCaption() {
    setWindowTitle(QStringLiteral("KELVO Stavio : ") +
                   QString::fromStdString(stavio::Cp1252ToUtf8(State.CurrentProject->ProjectName)));
}
