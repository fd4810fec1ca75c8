#pragma once
// Reading a skin from disk: the name's meaning, the unpacking of archive
// skins, the files of a skin folder found without regard to case, and every
// picture, colour and cursor read in full before the window is touched.

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tl::skin {

enum class SkinKind { BuiltIn, Folder, Archive, NoFolder };
// "<none>", a name without extension, exactly ".zip" / ".wsz", or any other.
SkinKind kindOf(const QString &name);

// The colour rule of pledit.txt: up to six characters from the second one,
// read as hex #RRGGBB and given as 0x00BBGGRR; anything not hex gives 0.
quint32 pleditColour(const QString &value);

// The INI reading rules: section and key without regard to case, blanks
// trimmed, one pair of enclosing quotes removed, 2047 characters kept. A
// missing file, section or key gives def.
QString readIniValue(const QString &path, const QString &section, const QString &key, const QString &def);

// The skins of a skin folder, in three groups, each in the order the file
// system lists them: sub-folders holding pledit.bmp (in any case), then
// .zip and then .wsz archives (plain files, extension in lower case, as the
// loader takes them). Archives are not opened. Nothing for a folder that
// does not exist.
QStringList listSkins(const QString &skinDir);

// The file of that name in folder, found without regard to case (an exact
// match first). Empty when folder is empty or nothing matches.
QString findNoCase(const QString &folder, const QString &name);

// Limits that keep a hostile archive or picture from eating the machine.
inline constexpr qint64 maxUnpackedBytes = 64ll * 1024 * 1024;
inline constexpr int maxMembers = 4096;
inline constexpr int maxPictureSide = 8192;

// Unpacks every member of the archive directly into tempRoot/<archive file
// name> (folders in member names dropped, either separator; a later member
// replaces an earlier one of the same name in any case). An archive that is
// unreadable, names a member outside the folder or unpacks to more than
// maxUnpackedBytes leaves the folder empty. Returns the folder, no trailing
// separator. Nothing is reported.
QString DecompressSkin(const QString &archivePath, const QString &tempRoot);
// Deletes the files of the unpacked folder of an archive skin name and then
// the folder (kept when it still holds a sub-folder). Names without an
// extension do nothing; failures are ignored.
void KillSkin(const QString &name, const QString &tempRoot);
// The same in the private temp folder; a refused temp folder does nothing.
void KillSkin(const QString &name);

// A bitmap file, or null when it is no readable bitmap or too large.
QImage readBitmap(const QString &path, int maxSide = maxPictureSide);

struct CursorImage {
    QImage image;
    QPoint hotSpot;
};
// A .cur file with the hot spot of its first image; nothing when unreadable.
std::optional<CursorImage> readCursor(const QString &path);

inline constexpr int buttonCount = 16;
inline constexpr int cursorCount = 6;  // slots 1 .. 6

// Everything one skin brings, read before anything is applied.
struct SkinData {
    QString name;    // the skin in use: the name asked for, or "<none>"
    QString folder;  // with a trailing "/", empty for the built-in skin
    QImage picture;  // at least pictureSize (a smaller one lies over the built-in picture), Format_RGB32
    quint32 back = 0, text = 0;  // editor colours, 0x00BBGGRR
    std::array<QImage, buttonCount> glyphs;  // in the order of builtin::buttonGlyphs
    std::array<std::optional<CursorImage>, cursorCount> cursors;  // slot 1 at index 0
};

// Reads the skin of that name: a folder under skinDir, an archive there
// unpacked into tempRoot, or the built-in one. A picture that is missing,
// unreadable or absurdly large gives the built-in skin, as "<none>"; one
// smaller than pictureSize is used over the built-in picture. Needs the
// built-in art registered (builtin::initArt()).
SkinData readSkin(const QString &name, const QString &skinDir, const QString &tempRoot);

// A skin's own glyph, or the built-in one of that button.
QImage readGlyph(const QString &folder, const char *button);

} // namespace tl::skin
