// Pictures read from the host's disk: JPEG files made here with libjpeg, decoded with libjpeg, the cache,
// the "~" resolution and the placeholder drawn with the real FreeType text engine.
#include "html/pictures/Pictures.h"

#include "base/Errors.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gfx/jpeg/JpegDecoder.h"
#include "platform/posix/HostFileSystem.h"

#include "JpegFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace vendora {
namespace {

namespace fs = std::filesystem;
using testing::EncodeJpeg;
using testing::ScratchFolder;
using testing::WriteFile;

// The host's disk, counting the files opened.
class CountingFileSystem : public HostFileSystem {
public:
    int Opened = 0;
    OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                          Disposition disposition) override {
        ++Opened;
        return HostFileSystem::CreateFile(path, access, share, disposition);
    }
};

// libjpeg's decoder, counting its calls.
class CountingDecoder : public PictureDecoder {
public:
    mutable int Headers = 0;
    mutable int Decodes = 0;
    PictureHeader ReadHeader(std::span<const std::uint8_t> bytes) const override {
        ++Headers;
        return TheJpegDecoder().ReadHeader(bytes);
    }
    Bitmap Decode(std::span<const std::uint8_t> bytes) const override {
        ++Decodes;
        return TheJpegDecoder().Decode(bytes);
    }
};

// Grey blocks of 8 x 8 pixels, aligned with the JPEG blocks, so that quality 100 keeps them nearly exact.
Bitmap GreyBlocks(int width, int height) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int level = ((x / 8) * 40 + (y / 8) * 90) % 256;
            bitmap.SetPixel(x, y, TColor::Rgb(level, level, level));
        }
    return bitmap;
}

int Distance(TColor a, TColor b) {
    return std::max(
        {std::abs(a.Red() - b.Red()), std::abs(a.Green() - b.Green()), std::abs(a.Blue() - b.Blue())});
}

FreeTypeTextEngine& Engine() {
    static FreeTypeTextEngine engine;
    return engine;
}

class PictureFiles : public ::testing::Test {
protected:
    AnsiString Name(const fs::path& path) const { return FromHostPath(path.string()); }
    AnsiString Name(const char* file) const { return Name(folder.Path() / file); }
    TJPEGImage* Load(const AnsiString& name) { return cache.Load(name, {files, Engine(), &decoder}); }

    ScratchFolder folder;
    CountingFileSystem files;
    CountingDecoder decoder;
    PictureCache cache;
    XpSystemColors colors;
};

TEST_F(PictureFiles, JpegHeaderAtLoadAndPixelsAtTheFirstDraw) {
    const Bitmap original = GreyBlocks(40, 24);
    WriteFile(folder.Path() / "blocks.jpg", EncodeJpeg(original));

    TJPEGImage* picture = Load(Name("blocks.jpg"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 40);
    EXPECT_EQ(picture->Height(), 24);
    EXPECT_EQ(decoder.Headers, 1);
    EXPECT_EQ(decoder.Decodes, 0);

    Bitmap surface(40, 24, clRed);
    Canvas canvas(surface, Engine(), colors);
    DrawPicture(canvas, {0, 0, 40, 24}, picture);
    DrawPicture(canvas, {0, 0, 40, 24}, picture);
    EXPECT_EQ(decoder.Decodes, 1);
    int worst = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            worst = std::max(worst, Distance(surface.Pixel(x, y), original.Pixel(x, y)));
    EXPECT_LE(worst, 2);
}

TEST_F(PictureFiles, ColourPicturesKeepTheirChannelsApart) {
    Bitmap original(16, 16, TColor::Rgb(200, 30, 60));
    for (int y = 8; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            original.SetPixel(x, y, TColor::Rgb(20, 180, 240));
    WriteFile(folder.Path() / "two.jpg", EncodeJpeg(original));
    const Bitmap& pixels = Load(Name("two.jpg"))->Pixels();
    EXPECT_LE(Distance(pixels.Pixel(3, 3), TColor::Rgb(200, 30, 60)), 3);
    EXPECT_LE(Distance(pixels.Pixel(12, 12), TColor::Rgb(20, 180, 240)), 3);

    // Adobe's inverted CMYK: 50 % black ink alone is mid grey.
    WriteFile(folder.Path() / "cmyk.jpg", testing::EncodeCmykJpeg(8, 8, 0, 0, 0, 128));
    const Bitmap& grey = Load(Name("cmyk.jpg"))->Pixels();
    EXPECT_LE(Distance(grey.Pixel(4, 4), TColor::Rgb(127, 127, 127)), 2);
}

TEST_F(PictureFiles, SameNameGivesTheSamePictureAndOpensTheFileOnce) {
    WriteFile(folder.Path() / "logo.jpg", EncodeJpeg(GreyBlocks(8, 8)));
    TJPEGImage* first = Load(Name("logo.jpg"));
    TJPEGImage* second = Load(Name("logo.jpg"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(files.Opened, 1);
    EXPECT_EQ(decoder.Headers, 1);
    EXPECT_EQ(cache.Count(), 1u);
}

TEST_F(PictureFiles, NamesDifferingInCaseAreTwoEntries) {
    WriteFile(folder.Path() / "Photo.jpg", EncodeJpeg(GreyBlocks(8, 16)));
    WriteFile(folder.Path() / "photo.jpg", EncodeJpeg(GreyBlocks(16, 8)));
    TJPEGImage* upper = Load(Name("Photo.jpg"));
    TJPEGImage* lower = Load(Name("photo.jpg"));
    EXPECT_NE(upper, lower);
    EXPECT_EQ(cache.Count(), 2u);
    EXPECT_EQ(files.Opened, 2);
    EXPECT_EQ(upper->Width(), 8);
    EXPECT_EQ(lower->Width(), 16);
}

TEST_F(PictureFiles, MissingFileKeepsItsPlaceholderAfterTheFileAppears) {
    const AnsiString name = Name("later.jpg");
    TJPEGImage* placeholder = Load(name);
    EXPECT_EQ(placeholder->Width(), 300);
    EXPECT_EQ(placeholder->Height(), 200);
    EXPECT_EQ(files.Opened, 0);

    WriteFile(folder.Path() / "later.jpg", EncodeJpeg(GreyBlocks(8, 8)));
    EXPECT_EQ(Load(name), placeholder);
    EXPECT_EQ(placeholder->Width(), 300);
    EXPECT_EQ(files.Opened, 0);
}

TEST_F(PictureFiles, PlaceholderShowsTheNameInWhiteBoldTahomaOnRed) {
    const AnsiString name = "absent.jpg";
    const Bitmap& picture = Load(name)->Pixels();
    EXPECT_EQ(picture.Pixel(1, 1), clBlack);
    EXPECT_EQ(picture.Pixel(299, 150), clBlack);
    EXPECT_EQ(picture.Pixel(150, 199), clBlack);

    const FontRequest font{"Tahoma", -19, true, false, false};
    const int cell = Engine().Metrics(font).CellHeight();
    for (const auto& [line, top] : {std::pair<AnsiString, int>{name, 60}, {"introuvable !", 120}}) {
        SCOPED_TRACE(line);
        const int width = Engine().TextWidth(font, line);
        ASSERT_GT(width, 20);
        const int left = (300 - width) / 2;
        int white = 0;
        int red = 0;
        for (int y = top; y < top + cell; ++y)
            for (int x = left; x < left + width; ++x) {
                const TColor c = picture.Pixel(x, y);
                ASSERT_TRUE(c == clWhite || c == clRed) << x << ", " << y;
                (c == clWhite ? white : red) += 1;
            }
        // Glyphs cover a fair part of the cell, the red cell the rest; the top row is all cell.
        EXPECT_GT(white, width * cell / 10);
        EXPECT_GT(red, width * cell / 3);
        for (int x = left; x < left + width; ++x)
            ASSERT_EQ(picture.Pixel(x, top), clRed) << x;
        int redBefore = 0;
        for (int x = left - 8; x < left; ++x)
            redBefore += picture.Pixel(x, top) == clRed ? 1 : 0;
        EXPECT_LT(redBefore, 8); // the hatch has gaps; the cell begins at left
    }
}

TEST_F(PictureFiles, ShortNameOnADiskWithoutAliasesFindsThatVeryName) {
    WriteFile(folder.Path() / "vue~1.jpg", EncodeJpeg(GreyBlocks(8, 8)));
    TJPEGImage* picture = Load(Name("vue~1.jpg"));
    EXPECT_EQ(cache.NameAt(0), Name("vue~1.jpg"));
    EXPECT_EQ(picture->Width(), 8);
    EXPECT_EQ(Load(Name("vue~1.jpg")), picture);

    // Matching nothing, the name stays as it was and gives the placeholder.
    TJPEGImage* missing = Load(Name("rien~1.jpg"));
    EXPECT_EQ(cache.NameAt(1), Name("rien~1.jpg"));
    EXPECT_EQ(missing->Width(), 300);
}

// The host's disk with the short aliases Windows gives long names: FindFirst on an alias answers the long
// name of the entry, whatever folder it is asked in.
class AliasFileSystem : public CountingFileSystem {
public:
    std::map<AnsiString, AnsiString> Aliases;
    std::vector<AnsiString> Asked;
    FileResult<AnsiString> FindFirst(const AnsiString& path) override {
        Asked.push_back(path);
        const std::size_t cut = path.find_last_of("\\:");
        const auto alias = Aliases.find(cut == AnsiString::npos ? path : path.substr(cut + 1));
        if (alias != Aliases.end())
            return alias->second;
        return HostFileSystem::FindFirst(path);
    }
};

TEST_F(PictureFiles, ShortNameBecomesTheFolderPartAndTheLongName) {
    AliasFileSystem disk;
    disk.Aliases["PHOTOD~1.JPG"] = "Photo de la boutique.jpg";
    WriteFile(folder.Path() / "Photo de la boutique.jpg", EncodeJpeg(GreyBlocks(16, 8)));
    const PictureServices services{disk, Engine(), &decoder};

    TJPEGImage* picture = cache.Load(Name("PHOTOD~1.JPG"), services);
    EXPECT_EQ(disk.Asked.at(0), Name("PHOTOD~1.JPG"));
    EXPECT_EQ(cache.NameAt(0), Name("Photo de la boutique.jpg"));
    EXPECT_EQ(picture->Width(), 16);
    // The resolved name is the key: the long name itself finds the same entry.
    EXPECT_EQ(cache.Load(Name("Photo de la boutique.jpg"), services), picture);
    EXPECT_EQ(disk.Opened, 1);

    // Without a folder part, the entry's name alone.
    EXPECT_EQ(ResolveShortName(disk, "PHOTOD~1.JPG"), "Photo de la boutique.jpg");
    EXPECT_EQ(ResolveShortName(disk, "C:PHOTOD~1.JPG"), "C:Photo de la boutique.jpg");
    // A name without "~" is never looked up.
    disk.Asked.clear();
    EXPECT_EQ(ResolveShortName(disk, "C:\\IMAGES\\PHOTOD.JPG"), "C:\\IMAGES\\PHOTOD.JPG");
    EXPECT_TRUE(disk.Asked.empty());
}

TEST_F(PictureFiles, ShortNameWithALongFolderLosesTheFolderEnd) {
    AliasFileSystem disk;
    disk.Aliases["IMG~1.JPG"] = "image.jpg";
    fs::path deep = folder.Path();
    while (Name(deep).size() <= 100)
        deep /= "dossier-des-images";
    fs::create_directories(deep);
    WriteFile(deep / "image.jpg", EncodeJpeg(GreyBlocks(8, 8)));
    const AnsiString folderPart = Name(deep) + "\\";

    TJPEGImage* picture = cache.Load(folderPart + "IMG~1.JPG", {disk, Engine(), &decoder});
    EXPECT_EQ(cache.NameAt(0), folderPart.substr(0, 79) + "image.jpg");
    EXPECT_EQ(picture->Width(), 300); // the shortened folder does not exist
}

TEST_F(PictureFiles, NamesAreCutTo255Characters) {
    const AnsiString longName = Name("") + "\\" + AnsiString(300, 'n');
    Load(longName);
    EXPECT_EQ(cache.NameAt(0), longName.substr(0, 255));
    EXPECT_EQ(Load(longName.substr(0, 255) + "other"), Load(longName));
    EXPECT_EQ(cache.Count(), 1u);
}

TEST_F(PictureFiles, BadHeaderFailsAtLoadAndLeavesAnEmptyEntry) {
    WriteFile(folder.Path() / "fake.jpg", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0});
    const AnsiString name = Name("fake.jpg");
    try {
        Load(name);
        FAIL() << "a GIF file loaded as JPEG";
    } catch (const EInvalidGraphic& error) {
        EXPECT_NE(error.Message().find("JPEG"), AnsiString::npos) << error.Message();
        EXPECT_NE(error.Message().find(name), AnsiString::npos) << error.Message();
    }
    ASSERT_EQ(cache.Count(), 1u);
    TJPEGImage* picture = Load(name);
    EXPECT_EQ(picture->Width(), 0);
    EXPECT_EQ(picture->Height(), 0);
    EXPECT_EQ(files.Opened, 1);

    Bitmap surface(10, 10, clGray);
    Canvas canvas(surface, Engine(), colors);
    EXPECT_NO_THROW(DrawPicture(canvas, {0, 0, 10, 10}, picture));
    EXPECT_EQ(surface, Bitmap(10, 10, clGray));
}

TEST_F(PictureFiles, DamagedDataFailsAtEveryDrawButIsDecodedOnce) {
    // Cut in the middle of the image data, well after the header.
    std::vector<std::uint8_t> bytes = EncodeJpeg(GreyBlocks(256, 256), 100);
    ASSERT_GT(bytes.size(), 4000u);
    bytes.resize(bytes.size() - 1500);
    WriteFile(folder.Path() / "cut.jpg", bytes);
    TJPEGImage* picture = Load(Name("cut.jpg"));
    EXPECT_EQ(picture->Width(), 256);

    Bitmap surface(64, 64);
    Canvas canvas(surface, Engine(), colors);
    EXPECT_THROW(DrawPicture(canvas, {0, 0, 64, 64}, picture), EInvalidGraphic);
    EXPECT_THROW(DrawPicture(canvas, {0, 0, 64, 64}, picture), EInvalidGraphic);
    EXPECT_EQ(decoder.Decodes, 1);
}

TEST_F(PictureFiles, HugeDeclaredSizeIsRefusedAtDrawInsteadOfExhaustingMemory) {
    std::vector<std::uint8_t> bytes = EncodeJpeg(GreyBlocks(8, 8));
    // The frame header: FF C0, length, precision, then height and width, big-endian.
    std::size_t frame = 0;
    while (frame + 1 < bytes.size() && !(bytes[frame] == 0xFF && bytes[frame + 1] == 0xC0))
        ++frame;
    ASSERT_LT(frame + 9, bytes.size());
    for (std::size_t i : {frame + 5, frame + 6, frame + 7, frame + 8})
        bytes[i] = 0xFD; // 65021 x 65021
    WriteFile(folder.Path() / "huge.jpg", bytes);
    TJPEGImage* picture = Load(Name("huge.jpg"));
    EXPECT_EQ(picture->Width(), 65021);
    EXPECT_EQ(picture->Height(), 65021);
    Bitmap surface(8, 8);
    Canvas canvas(surface, Engine(), colors);
    EXPECT_THROW(DrawPicture(canvas, {0, 0, 8, 8}, picture), EInvalidGraphic);
}

TEST_F(PictureFiles, EmptyFileIsAnEmptyPictureWithoutError) {
    WriteFile(folder.Path() / "empty.jpg", {});
    TJPEGImage* picture = nullptr;
    ASSERT_NO_THROW(picture = Load(Name("empty.jpg")));
    EXPECT_EQ(picture->Width(), 0);
    EXPECT_EQ(picture->Height(), 0);
    EXPECT_EQ(decoder.Headers, 0);
}

// The host's disk with every file held open by another program, as Windows refuses it (sharing violation).
class LockedFileSystem : public HostFileSystem {
public:
    OpenedFile CreateFile(const AnsiString&, std::uint32_t, std::uint32_t, Disposition) override {
        return FileError{32};
    }
};

TEST_F(PictureFiles, FileThatCannotBeOpenedRaisesTheOpenErrorOnce) {
    WriteFile(folder.Path() / "locked.jpg", EncodeJpeg(GreyBlocks(8, 8)));
    LockedFileSystem locked;
    const AnsiString name = Name("locked.jpg");
    try {
        cache.Load(name, {locked, Engine(), &decoder});
        FAIL() << "a locked file loaded";
    } catch (const EFOpenError& error) {
        EXPECT_NE(error.Message().find(name), AnsiString::npos) << error.Message();
    }
    EXPECT_EQ(cache.Load(name, {locked, Engine(), &decoder})->Width(), 0);
    EXPECT_EQ(cache.Count(), 1u);
}

// The cache reads through the files it is handed and decodes with the decoder it is handed, which only a
// picture file needs.
TEST(PictureCacheServices, OnlyAPictureFileNeedsADecoderAndReleaseEmptiesTheCache) {
    HostFileSystem files;
    ScratchFolder folder;
    WriteFile(folder.Path() / "a.jpg", EncodeJpeg(GreyBlocks(24, 16)));
    const AnsiString name = FromHostPath((folder.Path() / "a.jpg").string());
    PictureCache cache;
    const PictureServices withoutDecoder{files, Engine()};
    EXPECT_EQ(cache.Load("manque.jpg", withoutDecoder)->Width(), 300);
    try {
        cache.Load(name, withoutDecoder);
        ADD_FAILURE() << "a picture file loaded without a decoder";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "no picture decoder (PictureServices)");
    }
    EXPECT_EQ(cache.Load(name, withoutDecoder)->Width(), 0) << "the entry stays, as after any failed load";
    cache.Release();

    const PictureServices services{files, Engine(), &TheJpegDecoder()};
    TJPEGImage* picture = cache.Load(name, services);
    EXPECT_EQ(cache.Load(name, services), picture);
    EXPECT_EQ(picture->Width(), 24);
    EXPECT_EQ(cache.Count(), 1u);
    cache.Release();
    EXPECT_EQ(cache.Count(), 0u);
    EXPECT_EQ(cache.Load(name, services)->Height(), 16);
}

} // namespace
} // namespace vendora
