#pragma once
// The benchmarks' notes file: 10,000 notes of about 5 KB of RTF each
// (about 50 MB), the same for every benchmark that walks a notes file.

#include <QString>
#include <chrono>

namespace tlbench {

inline constexpr int kNotes = 10000;
inline constexpr int kNoteBytes = 5 * 1024;

// Note i; variant tells versions of the same note apart.
QString noteText(int i, char variant = 'a');

// Writes the file into folder, in pieces so the generator itself does not
// set the peak memory; returns its path.
QString makeNotesFile(const QString &folder);
// The same with notes notes, under name.
QString makeNotesFile(const QString &folder, int notes, const QString &name);

inline double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace tlbench
