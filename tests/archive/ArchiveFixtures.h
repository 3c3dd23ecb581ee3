#pragma once
// Archives for the tests, built with zlib, and the host files around them.

#include "TempFolder.h"

#include "archive/ArchiveWriter.h"
#include "base/Convert.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

namespace vendora::testing {

using Bytes = std::vector<std::uint8_t>;

// Text-like bytes that compress a little, from a seeded generator.
inline Bytes SomeBytes(std::size_t size, unsigned salt = 1) {
    std::mt19937 random(salt);
    static const char words[] = "caisse vendeur ticket remise article stock client facture ";
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] =
            random() % 4 == 0 ? static_cast<std::uint8_t>(random()) : words[random() % (sizeof words - 1)];
    return out;
}

// One zlib stream made by zlib itself with the given parameters, inside the 4-byte size envelope.
inline Bytes ZlibEnvelope(const Bytes& data, int level = 1, int windowBits = 15,
                          int strategy = Z_DEFAULT_STRATEGY,
                          std::optional<std::uint32_t> announced = std::nullopt) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, strategy);
    Bytes out(4 + deflateBound(&stream, static_cast<uLong>(data.size())));
    WriteLe32(out.data(), announced.value_or(static_cast<std::uint32_t>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data() + 4;
    stream.avail_out = static_cast<uInt>(out.size() - 4);
    deflate(&stream, Z_FINISH);
    out.resize(4 + stream.total_out);
    deflateEnd(&stream);
    return out;
}

// The shipped archive's shape in small: fourteen entries of assorted sizes.
inline std::vector<PackedEntry> FourteenEntries() {
    const char* names[] = {"vendora.exe", "StarMath.ttf", "logo.jpg",  "fond.bmp",  "bouton.bmp",
                           "Client.QXF",  "Article.QXF",  "Vente.QXF", "Stock.QXF", "Caisse.QXF",
                           "Remise.QXF",  "Colonnes.qxc", "Ticket.LP", "Liste.LP"};
    std::vector<PackedEntry> entries;
    unsigned salt = 1;
    for (const char* name : names)
        entries.push_back({name, SomeBytes(salt == 1 ? 200000 : 100 * salt, salt)}), ++salt;
    return entries;
}

inline Bytes Layer1(const std::vector<PackedEntry>& entries) {
    return CompressEnvelope(BuildInflatedArchive(entries));
}

} // namespace vendora::testing
