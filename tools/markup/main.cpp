// vendora-markup: shows a message written in the markup the way the message window paints it, so that the
// people who write the messages can see them before a release.

#include "base/Cp1252.h"
#include "base/Errors.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gfx/jpeg/JpegDecoder.h"
#include "gfx/png/Png.h"
#include "html/DrawHtml.h"
#include "html/MessageArea.h"
#include "html/pictures/Pictures.h"
#include "platform/posix/HostDiskPlatform.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vendora {
namespace {

constexpr const char* Usage =
    R"(Usage : vendora-markup render FICHIER --width L [--background COULEUR] [--utf8] -o SORTIE.png
        vendora-markup --help

Dessine le message écrit dans FICHIER comme la fenêtre de message de l'installateur le dessine :
police de départ "Tahoma" de 13 pixels, texte à x 20 et y 5, sur une largeur de L pixels (la largeur
de la fenêtre moins 40 : 441 pour la fenêtre de l'installateur). L'image fait L + 40 pixels de large
et 5 pixels de plus que le texte en hauteur. Le programme écrit la hauteur rendue par DrawHtml (le y
juste sous la dernière ligne) sur la sortie standard.

  FICHIER             le texte, en Windows-1252 (ou en UTF-8 avec --utf8). Comme la fenêtre de
                      message, "#13" et le retour chariot deviennent "<P>" ; le saut de ligne (LF)
                      est un caractère ordinaire. Un dernier saut de ligne en fin de fichier est ignoré.
  --width L           largeur disponible pour le texte, en pixels.
  --background C      couleur de la fenêtre : #RRGGBB (par défaut blanc). Les lignes centrées ou à
                      droite laissent du blanc derrière elles, comme dans la fenêtre.
  --utf8              le fichier est en UTF-8.
  -o SORTIE.png       l'image à écrire.

Le sous-ensemble du balisage :
  <B> </B> <I> </I> <U> </U>    gras, italique, souligné (aussi en minuscules)
  <O> </O>                      ombre noire sous les mots
  <S> <S#RRGGBB> </S>           surlignage (jaune pâle par défaut)
  <FONT COLOR=#RRGGBB SIZE=n FACE="nom"> </FONT>
                                police ; SIZE < 8 vaut 4 x n points ; </FONT> rend toute la police
  <H1>..<H4> </H1>              titres (gras) ; <A HREF="..."> </A> lien bleu souligné
  <P> <BR> <P CENTER> <P RIGHT> <P LEFT>
                                fin de ligne, puis alignement des lignes suivantes
  <BLOCKQUOTE> </BLOCKQUOTE>    retrait d'un tiers de pouce ; <HR> trait horizontal
  <IMG SRC="image.jpg" WIDTH=50% ou WIDTH=120>
  <INPUT TYPE=text|checkbox|radio|image|submit NAME="..." VALUE="..." SIZE=n CHECKED>
  <TEXTAREA ROWS=n COLS=n>texte</TEXTAREA>
  &eacute; &amp; &lt; &gt; &nbsp; &#233; ...  références, dans le texte suivi d'une balise seulement
Une balise inconnue est dessinée telle quelle ("<F12>"). Un nombre mal écrit (SIZE=12pt) arrête le
dessin avec l'erreur que la fenêtre afficherait ; le programme l'écrit et se termine avec le code 1.
)";

struct Options {
    std::string File;
    int Width = 0;
    TColor Background = clWhite;
    bool Utf8 = false;
    std::string Output;
};

// A usage mistake: the program says what is wrong and ends with code 2.
struct UsageError {
    std::string Text;
};

int ParseNumber(const std::string& text, const std::string& what) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw UsageError{what + " : nombre attendu, pas \"" + text + "\""};
    return value;
}

TColor ParseColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#')
        throw UsageError{"--background : couleur attendue sous la forme #RRGGBB, pas \"" + text + "\""};
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        throw UsageError{"--background : couleur attendue sous la forme #RRGGBB, pas \"" + text + "\""};
    return TColor::Rgb(static_cast<int>(value >> 16), static_cast<int>(value >> 8), static_cast<int>(value));
}

Options ParseOptions(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "render")
        throw UsageError{"commande attendue : render"};
    Options options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError{arg + " : valeur manquante"};
            return args[++i];
        };
        if (arg == "--width")
            options.Width = ParseNumber(value(), "--width");
        else if (arg == "--background")
            options.Background = ParseColour(value());
        else if (arg == "--utf8")
            options.Utf8 = true;
        else if (arg == "-o")
            options.Output = value();
        else if (!arg.empty() && arg[0] == '-')
            throw UsageError{"option inconnue : " + arg};
        else if (options.File.empty())
            options.File = arg;
        else
            throw UsageError{"un seul fichier à la fois : " + arg};
    }
    if (options.File.empty())
        throw UsageError{"fichier manquant"};
    if (options.Width <= 0)
        throw UsageError{"--width : une largeur positive est attendue"};
    if (options.Output.empty())
        throw UsageError{"-o : l'image à écrire est attendue"};
    return options;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw UsageError{"impossible de lire " + path};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file's text as the message window receives it.
AnsiString MessageText(const Options& options) {
    std::string bytes = ReadWholeFile(options.File);
    if (bytes.ends_with("\r\n"))
        bytes.resize(bytes.size() - 2);
    else if (bytes.ends_with('\n') || bytes.ends_with('\r'))
        bytes.pop_back();
    AnsiString text = options.Utf8 ? Utf8ToAnsi(bytes) : bytes;
    ReplaceAll("#13", "\r", text, true);
    ReplaceAll("\r", "<P>", text, true);
    return text;
}

// Only pictures read the disk; the tool needs nothing else from the platform.
class DiskPlatform : public HostDiskPlatform {
public:
    AnsiString ModuleFileName() override { return "vendora-markup"; }
};

int Render(const Options& options) {
    const AnsiString text = MessageText(options);
    DiskPlatform platform;
    FreeTypeTextEngine& engine = TheFreeTypeTextEngine();
    PictureCache pictures;
    const HtmlHost host{&pictures, PictureServices{platform.Files(), engine, &TheJpegDecoder()}};
    // Laid out once, as the message window does, to size the picture; then painted from that layout.
    const HtmlLayout layout = LayoutHtml(host, engine, Scale{}, MessageArea::StartFont(), MessageArea::Left,
                                         MessageArea::Top, options.Width, text, clWhite);
    if (layout.Error)
        std::rethrow_exception(layout.Error);
    const int height = layout.Bottom;
    Bitmap image(options.Width + MessageArea::Margins, std::max(1, height + MessageArea::BottomMargin),
                 options.Background);
    // The form elements' system colours are those of a machine without colours of its own: Windows XP's.
    XpSystemColors colors;
    Canvas canvas(image, engine, colors);
    canvas.GetFont() = MessageArea::StartFont();
    PaintHtml(canvas, layout);
    SavePng(image, options.Output);
    std::cout << height << '\n';
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        std::cout << Usage;
        return 0;
    }
    try {
        return Render(ParseOptions(args));
    } catch (const UsageError& e) {
        std::cerr << "vendora-markup : " << e.Text << "\n\n" << Usage;
        return 2;
    } catch (const EConvertError& e) {
        // What the message window would show: the framework's error box.
        std::cerr << AnsiToUtf8(Ansi("Erreur d'application : ")) << AnsiToUtf8(e.Message()) << '\n';
        return 1;
    } catch (const Exception& e) {
        std::cerr << "vendora-markup : " << AnsiToUtf8(e.Message()) << '\n';
        return 2;
    }
}

} // namespace
} // namespace vendora

int main(int argc, char** argv) {
    return vendora::Run(std::vector<std::string>(argv + 1, argv + argc));
}
