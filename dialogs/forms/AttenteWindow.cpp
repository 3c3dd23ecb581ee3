#include "dialogs/forms/AttenteWindow.h"

#include "base/Cp1252.h"
#include "gui/Label.h"

namespace vendora {

TAttenteWindow::TAttenteWindow(Application& app, Component* owner) : Form(app, owner) {
    SetName("Attente");
    SetBorderStyle(BorderStyle::Sizeable);
    Position = FormPosition::ScreenCenter;
    SetColor(TColor(12631039));
    SetCaption("Attente");

    Label1 = new Label(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetAutoSize(false);
    Label1->SetAnchors(Anchor::Left | Anchor::Top | Anchor::Right | Anchor::Bottom);
    Label1->SetAlignment(TextAlignment::Center);
    Label1->SetLayout(TextLayoutKind::Center);
    Label1->SetWordWrap(true);
    Label1->SetTransparent(true);
    Label1->SetRightToLeftReading(true);
    Label1->SetCaption(Ansi("Une importation étant en cours, veuillez patienter quelques instants. Dès que "
                            "possible, cette fenêtre se fermera automatiquement, pour poursuivre la suite de "
                            "l'importation."));

    Label2 = new Label(this);
    Label2->SetName("Label2");
    Label2->SetParent(this);
    Label2->SetAutoSize(false);
    Label2->SetAnchors(Anchor::Left | Anchor::Right | Anchor::Bottom);
    Label2->SetAlignment(TextAlignment::Center);

    LayOut();
    SetLeft(GetScale().Px(117));
    SetTop(GetScale().Px(212));
}

void TAttenteWindow::LayOut() {
    const Scale& s = GetScale();
    Font font;
    font.Name = "MS Sans Serif";
    font.SetHeight(-11);
    font.Color = clWindowText;
    SetFont(font.Scaled(s));
    SetClientSize(s.Px(502), s.Px(304));
    const IntRect text = s.Box(0, 0, 502, 288);
    Label1->SetBounds(text.Left, text.Top, text.Width(), text.Height());
    const IntRect strip = s.Box(0, 288, 502, 16);
    Label2->SetBounds(strip.Left, strip.Top, strip.Width(), strip.Height());
}

} // namespace vendora
