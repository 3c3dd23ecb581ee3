#pragma once
// A person's part in a run of the installer, which either machine plays: the windows in the order they
// come, a picture of each, and the answer given. The native Machine turns it into its ui script; the
// WineMachine does it on the X server. A cross-check plays one scenario on both and compares.

#include "gfx/Bitmap.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vendora::e2e {

// The titles of the installer's windows, as a person reads them (UTF-8).
namespace Titles {
inline const std::string InstallTitle = "Installation de Vendora.exe © morvanel";
inline const std::string Update = "Mise à jour de Vendora.exe © morvanel";
inline const std::string UpdateDone = "Mise à jour Vendora.exe © morvanel";
inline const std::string Waiting = "Installateur de Vendora.EXE";
inline const std::string Progress = "Déconcaténation de";
inline const std::string Interruption = "Interruption Interdite";
} // namespace Titles

struct Step {
    std::string Title;   // the window waited for: a shown one whose title starts so (UTF-8)
    std::string Picture; // the name of its picture (letters, digits and '-'); none when empty
    std::string Answer;  // "key NAME" or "char C", as a ui script writes them; none when empty
    // Once the picture is taken, what else happens (the application quits); the run goes on meanwhile.
    std::function<void()> Then = {};
};
using Scenario = std::vector<Step>;

// The pictures a played scenario took, by name.
using Pictures = std::map<std::string, Bitmap>;

} // namespace vendora::e2e
