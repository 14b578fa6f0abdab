//---------------------------------------------------------------------------
// The notice window: a red heading, the notice text and an OK button that
// opens the demo workbook.
//---------------------------------------------------------------------------
#pragma once

#include <vcl/Forms.h>
#include <vcl/StdCtrls.h>

using namespace vcl;

class TFTarvik : public TForm
{
public: // published: the form description binds these by name
    TButton *BtnOK = nullptr;
    TLabel *Label1 = nullptr;
    TLabel *Label2 = nullptr;
    void FormCreate(TObject *Sender);
    void BtnOKClick(TObject *Sender);

public:
    explicit TFTarvik(TComponent *Owner);
};

extern TFTarvik *FTarvik;
