#pragma once
// The waiting window of an update (form TAttente, unit UAttente) with its stored layout: a pink, sizeable
// window centred on the screen whose text, set by the wait, fills the area above a thin empty strip.

#include "gui/Form.h"

namespace vendora {

class Label;

class TAttenteWindow : public Form {
public:
    TAttenteWindow(Application& app, Component* owner);

    Label* Label1 = nullptr;
    Label* Label2 = nullptr;

protected:
    void ScaleChanged() override { LayOut(); }

private:
    // The stored layout at the form's scale: size, font and the two labels.
    void LayOut();
};

} // namespace vendora
