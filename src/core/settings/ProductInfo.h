#pragma once
// The radio type and frequency band a document is programmed for, as the
// Product Information dialog offers them: the type list Type1...Type19 and
// the band list Field<n> of section Setup of Program.ini, the choice the
// dialog opens on, and the two image bytes it stores.
//
// The dialog opens on the per-user type and band (kept between runs by the
// caller), not on the image: the channel window keeps those equal to the
// image of the document it showed last. The caller reads and writes the
// per-user values, the main window title and the band limits.

#include "core/app/IniFile.h"
#include "core/document/RadioImage.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kMaxProductTypes = 19;

// Type1, Type2, ... of section Setup, up to Type19, stopping at the first
// one that is missing or empty.
std::vector<std::string> ProductTypes(const CIniFile& ini);

// A band list cut at every "|"; what follows the last "|" is an entry too,
// so the result always has at least one (possibly empty) entry.
std::vector<std::string> SplitBandList(const std::string& bandList);

// The bands of a type index: Field<typeIndex + 1> of section Setup, split.
// An index without a list (or none, -1, which reads Field0) gives one empty
// band.
std::vector<std::string> ProductBands(const CIniFile& ini, std::int64_t typeIndex);

struct ProductChoice
{
    int type = -1;                  // index in the type list, -1 for no selection
    int band = -1;                  // index in the band list, -1 for no selection
    std::vector<std::string> bands; // the band list shown for the type
};

// The choice the dialog opens on: the per-user type and band, taken as
// signed 32-bit indices; an index beyond its list selects nothing. The band
// list is that of the per-user type, in the list or not.
ProductChoice InitialProductChoice(const CIniFile& ini, std::size_t typeCount, std::uint32_t userType,
                                   std::uint32_t userBand);

// The choice after the type list's selection changed: that type's bands,
// the first one selected.
ProductChoice ChoiceForType(const CIniFile& ini, int type);

// The radio type and band an image names, as the channel window reads them
// for its title and band limits: Type<k> and entry b of Field<k> of section
// Setup, k the type byte + 1 and b the band byte (the last entry when the
// list is shorter). Empty texts when Program.ini has no such type or list.
struct ImageProduct
{
    int typeIndex = 0;
    int bandIndex = 0;
    std::string typeName;
    std::string bandText;
};
ImageProduct ProductOfImage(const CIniFile& ini, const RadioImage& image);

// Stores type and band at 0x32E and 0x32F; true when either byte changed.
// A choice without a type or without a band (-1) stores nothing: OK with
// nothing chosen changes nothing.
bool StoreProductChoice(int type, int band, RadioImage& image);

// Whether both lists have a choice.
inline bool IsCompleteProductChoice(int type, int band)
{
    return type >= 0 && band >= 0;
}

// Whether the image's type byte names an entry of the type list and its
// band byte one of that type's bands. Only such indexes become the per-user
// values: one file with bytes from elsewhere must not leave every later new
// document without a type and band.
bool ImageChoiceInLists(const CIniFile& ini, const RadioImage& image);
