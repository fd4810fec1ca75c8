#pragma once
// What the RTF had beyond what the document shows, kept in the document's
// formats and resources so the writer gives it back unchanged.

#include <QTextDocument>
#include <QTextFormat>
#include <QUrl>

namespace tl::rtf {

// Twips per document unit (pixels at 96 dpi).
constexpr double kTwipsPerUnit = 15.0;
// A list level: the rich-edit control's bullet indent.
constexpr int kTwipsPerLevel = 360;

// A picture's original bytes, as a resource beside its image (a document
// keeps one resource per name, whatever its type): the PNG or JPEG file, or
// the whole RTF group of what is only kept.
constexpr int kKeptResource = QTextDocument::UserResource + 1;
inline QUrl keptUrl(const QString &pictureName) { return QUrl(pictureName + QLatin1String("#rtf")); }
// The scheme of the pictures' names, unique in the process.
constexpr const char *kPictureScheme = "tessaleaf-picture";

namespace prop {

// Block format of a bulleted paragraph: its \li and \fi in twips. Qt draws
// the bullet just before the text, so the hanging indent is kept, not shown.
constexpr int BulletLeft = QTextFormat::UserProperty + 0x200;
constexpr int BulletFirst = QTextFormat::UserProperty + 0x201;
// Block format: an empty paragraph that exists only because Qt wants one
// before a table; not written.
constexpr int Joint = QTextFormat::UserProperty + 0x202;

// Image format of a picture: what kind (PictureKind), and the sizes the RTF
// stated, for writing a PNG or JPEG back.
constexpr int PictureKind = QTextFormat::UserProperty + 0x210;
constexpr int PictureWidth = QTextFormat::UserProperty + 0x211;
constexpr int PictureHeight = QTextFormat::UserProperty + 0x212;
constexpr int PictureGoalWidth = QTextFormat::UserProperty + 0x213;
constexpr int PictureGoalHeight = QTextFormat::UserProperty + 0x214;
constexpr int PictureScaleX = QTextFormat::UserProperty + 0x215;
constexpr int PictureScaleY = QTextFormat::UserProperty + 0x216;
enum PictureKinds { Png = 1, Jpeg = 2, KeptGroup = 3 };

// Cell format of a row's first cell: the row's definition. RowCellx holds
// a QList<int> of right edges, RowCells the number of cells the RTF had.
constexpr int RowGap = QTextFormat::UserProperty + 0x220;
constexpr int RowLeft = QTextFormat::UserProperty + 0x221;
constexpr int RowBorders = QTextFormat::UserProperty + 0x222;
constexpr int RowCellx = QTextFormat::UserProperty + 0x223;
constexpr int RowCells = QTextFormat::UserProperty + 0x224;

} // namespace prop

} // namespace tl::rtf
