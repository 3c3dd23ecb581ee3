// Writes the demo archive's generated files into a folder: one JPEG picture, two BMP pictures, and the
// application's small text files (six form layouts, one column list, two list-printing layouts) in
// Windows-1252 with CRLF line ends. Everything is derived from fixed numbers, so every build writes the
// same bytes.
#include "base/Convert.h"
#include "base/Cp1252.h"
#include "gfx/jpeg/JpegEncoder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vendora::Ansi;

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// An RGB picture: a diagonal blend with a lighter band, a little like a logo's background.
std::vector<unsigned char> Picture(int width, int height, int hue) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width * height * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
            const int t = (x * 255 / (width - 1) + y * 255 / (height - 1)) / 2;
            const bool band = (y > height / 3 && y < height * 2 / 3);
            p[0] = static_cast<unsigned char>(band ? 240 : (t + hue) % 256);
            p[1] = static_cast<unsigned char>(band ? 240 : (255 - t + hue / 2) % 256);
            p[2] = static_cast<unsigned char>(band ? 250 : (128 + t / 2) % 256);
        }
    }
    return rgb;
}

void WriteJpeg(const fs::path& path, int width, int height) {
    const auto rgb = Picture(width, height, 40);
    const vendora::JpegPicture picture{width, height, vendora::JpegInk::Rgb, {rgb.begin(), rgb.end()}};
    const std::vector<std::uint8_t> jpeg = vendora::EncodeJpeg(picture, 85, false);
    WriteBytes(path, std::string(jpeg.begin(), jpeg.end()));
}

void AppendLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// 24 bits per pixel, bottom-up rows padded to four bytes, BGR order.
void WriteBmp(const fs::path& path, int width, int height, int hue) {
    const auto rgb = Picture(width, height, hue);
    const int stride = (width * 3 + 3) / 4 * 4;
    const auto imageSize = static_cast<std::uint32_t>(stride * height);
    std::string out = "BM";
    AppendLe(out, 54 + imageSize, 4);
    AppendLe(out, 0, 4);
    AppendLe(out, 54, 4);
    AppendLe(out, 40, 4);
    AppendLe(out, static_cast<std::uint32_t>(width), 4);
    AppendLe(out, static_cast<std::uint32_t>(height), 4);
    AppendLe(out, 1, 2);
    AppendLe(out, 24, 2);
    AppendLe(out, 0, 4);
    AppendLe(out, imageSize, 4);
    AppendLe(out, 3780, 4); // 96 dpi
    AppendLe(out, 3780, 4);
    AppendLe(out, 0, 4);
    AppendLe(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
            row += static_cast<char>(p[2]);
            row += static_cast<char>(p[1]);
            row += static_cast<char>(p[0]);
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        out += row;
    }
    WriteBytes(path, out);
}

const char* const Fields[] = {"Code",        "Libellé",   "Quantité",    "Prix unitaire",
                              "Remise",      "Total TTC", "Client",      "Adresse",
                              "Téléphone",   "Échéance",  "Règlement",   "Catégorie",
                              "Fournisseur", "Référence", "Désignation", "Stock"};

// A form layout: a header, then one control per line with its position and caption.
std::string FormLayout(const std::string& title, int controls, int salt) {
    std::string text = "[Fiche]\r\nTitre=" + title + "\r\nLargeur=640\r\nHauteur=480\r\n";
    for (int i = 0; i < controls; ++i) {
        const char* field = Fields[(i * 7 + salt) % 16];
        text += "[Champ" + std::to_string(i + 1) + "]\r\nLibellé=" + field +
                "\r\nGauche=" + std::to_string(16 + (i % 2) * 300) +
                "\r\nHaut=" + std::to_string(24 + (i / 2) * 28) +
                "\r\nLargeur=" + std::to_string(120 + (i * 13 + salt) % 160) + "\r\n";
    }
    return Ansi(text);
}

std::string ColumnList() {
    std::string text = "; Colonnes des listes\r\n";
    for (int i = 0; i < 16; ++i)
        text += std::string(Fields[i]) + ";" + std::to_string(40 + (i * 17) % 90) + ";" +
                (i % 3 == 0 ? "droite" : "gauche") + "\r\n";
    return Ansi(text);
}

std::string PrintLayout(const std::string& title, int lines) {
    std::string text = "[Impression]\r\nTitre=" + title + "\r\nMarge=10\r\nPolice=Arial 9\r\n";
    for (int i = 0; i < lines; ++i)
        text += "Ligne" + std::to_string(i + 1) + "=" + Fields[(i * 5) % 16] + " : {" +
                Fields[(i * 3 + 1) % 16] + "}\r\n";
    return Ansi(text);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_demo FOLDER\n");
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        fs::create_directories(folder);
        WriteJpeg(folder / "Vendora.jpg", 320, 200);
        WriteBmp(folder / "Fond.bmp", 200, 120, 90);
        WriteBmp(folder / "Logo.BMP", 64, 64, 160);
        const char* forms[] = {"Articles", "Clients", "Ventes", "Caisse", "Fournisseurs", "Règlements"};
        int salt = 0;
        for (const char* form : forms) {
            WriteBytes(folder / (std::string(form) + ".QXF"), FormLayout(form, 10 + salt * 3, salt));
            ++salt;
        }
        WriteBytes(folder / "Colonnes.qxc", ColumnList());
        WriteBytes(folder / "Tickets.LP", PrintLayout("Ticket de caisse", 12));
        WriteBytes(folder / "Etiquettes.LP", PrintLayout("Étiquettes", 8));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "generate_demo: %s\n", error.what());
        return 1;
    }
    return 0;
}
