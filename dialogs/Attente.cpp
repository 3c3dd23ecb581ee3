#include "dialogs/Attente.h"

#include "base/Cp1252.h"
#include "dialogs/DialogBackend.h"

namespace vendora {

TAttente::TAttente()
    : caption_("Attente"),
      label1_(Ansi("Une importation étant en cours, veuillez patienter quelques instants. Dès que possible, "
                   "cette fenêtre se fermera automatiquement, pour poursuivre la suite de l'importation.")) {}

std::unique_ptr<TAttente> CreateAttente(DialogBackend& dialogs) {
    return dialogs.CreateAttente();
}

} // namespace vendora
