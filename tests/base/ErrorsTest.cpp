#include "base/Errors.h"
#include "base/Cp1252.h"

#include <gtest/gtest.h>

using namespace vendora;

TEST(Errors, InOutTextsByCode) {
    EXPECT_EQ(EInOutError(2).Message(), Ansi("Fichier introuvable"));
    EXPECT_EQ(EInOutError(3).Message(), Ansi("Nom de fichier incorrect"));
    EXPECT_EQ(EInOutError(4).Message(), Ansi("Trop de fichiers ouverts"));
    EXPECT_EQ(EInOutError(5).Message(), Ansi("Accès au fichier refusé"));
    EXPECT_EQ(EInOutError(IoCode::DiskFull).Message(), Ansi("Disque plein"));
    EXPECT_EQ(EInOutError(IoCode::ReadBeyondEnd).Message(), Ansi("Lecture au-delà de la fin de fichier"));
    EXPECT_EQ(EInOutError(32).Message(), Ansi("Erreur E/S 32"));
    EXPECT_EQ(EInOutError(32).ErrorCode(), 32);
}

TEST(Errors, StreamAndFileTexts) {
    EXPECT_EQ(EFOpenError("C:\\a%s.FCC", 2).Message(),
              Ansi("Impossible d'ouvrir le fichier \"C:\\a%s.FCC\". Le fichier spécifié est introuvable."));
    EXPECT_EQ(EFCreateError("C:\\x", 5).Message(),
              Ansi("Impossible de créer le fichier \"C:\\x\". Accès refusé."));
    EXPECT_EQ(EReadError().Message(), Ansi("Erreur de lecture du flux"));
    EXPECT_EQ(EWriteError().Message(), Ansi("Erreur d'écriture dans le flux"));
    EXPECT_EQ(ERangeError().Message(), Ansi("Erreur de vérification d'étendue"));
}

TEST(Errors, ConversionCompressionAndShortcutTexts) {
    EXPECT_EQ(EConvertError::NotAnInteger("15px").Message(),
              Ansi("'15px' n'est pas une valeur entière correcte"));
    EXPECT_EQ(ECompressionError(-3).Message(), "Error in compression routine: -3");
    EXPECT_EQ(ECompressionError(-3).Code(), -3);
    EXPECT_EQ(EShortcutError().Message(), "Unable to create .lnk file");
    // Every kind is caught as the one base error type that the error box shows.
    try {
        throw EInOutError(5);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), Ansi("Accès au fichier refusé"));
        EXPECT_STREQ(e.what(), e.Message().c_str());
    }
}
