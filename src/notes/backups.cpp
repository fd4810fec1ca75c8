#include "notes/backups.h"

#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace tl::backup {

namespace {

const char kStampFormat[] = "yyyy-MM-dd HH-mm-ss";

QString realPath(const QString &file)
{
    const QString canonical = QFileInfo(file).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(file).absoluteFilePath() : canonical;
}

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

bool sameBytes(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd()) {
        const QByteArray x = fa.read(1 << 20), y = fb.read(1 << 20);
        if (x != y || x.isEmpty())
            return x == y && fa.atEnd();
    }
    return true;
}

bool isInside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

QString folderFor(const QString &root, const QString &file)
{
    const QString real = realPath(file);
    const QByteArray hash = QCryptographicHash::hash(real.toUtf8(), QCryptographicHash::Sha256).left(4).toHex();
    return root + QLatin1Char('/') + QFileInfo(real).fileName() + QLatin1Char('-') + QString::fromLatin1(hash);
}

std::vector<Copy> list(const QString &root, const QString &file)
{
    static const QRegularExpression stamp(QStringLiteral(" (\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d)(\\.[^/]*)?$"));
    std::vector<Copy> copies;
    const QDir folder(folderFor(root, file));
    for (const QFileInfo &f : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch m = stamp.match(f.fileName());
        if (!m.hasMatch() || f.fileName().startsWith(QLatin1Char('.')))
            continue;
        const QDateTime taken = QDateTime::fromString(m.captured(1), QLatin1String(kStampFormat));
        if (taken.isValid())
            copies.push_back({f.absoluteFilePath(), taken, f.size()});
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
        return a.taken != b.taken ? a.taken > b.taken : a.path > b.path;
    });
    return copies;
}

QString refusal(const QString &root, const QString &file)
{
    const QString folder = QFileInfo(realPath(file)).absolutePath();
    QString target = QFileInfo(root).absoluteFilePath();
    // The part of root that exists, with its links followed.
    QString existing = target;
    while (!existing.isEmpty() && !QFileInfo::exists(existing))
        existing = QFileInfo(existing).absolutePath() == existing ? QString() : QFileInfo(existing).absolutePath();
    if (!existing.isEmpty())
        target = QFileInfo(existing).canonicalFilePath() + target.mid(existing.size());
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    if (folder == home || !isInside(target, folder))
        return {};
    return QStringLiteral("the backups folder \"%1\" lies inside \"%2\", the folder of the notes file")
        .arg(shown(target), shown(folder));
}

QString take(const QString &root, const QString &file, const QDateTime &now)
{
    if (const QString why = refusal(root, file); !why.isEmpty())
        throw Error(QStringLiteral("No backup of \"%1\": %2").arg(shown(file), why));
    const QString folder = folderFor(root, file);
    // The data folder above is the system's; the backups are private from here down.
    QDir().mkpath(QFileInfo(root).absolutePath());
    paths::makePrivateFolder(root);
    paths::makePrivateFolder(folder);
    const QFileInfo info(realPath(file));
    const QString suffix = info.suffix();
    auto nameAt = [&](const QDateTime &when) {
        return folder + QLatin1Char('/') + (suffix.isEmpty() ? info.fileName() : info.completeBaseName())
            + QLatin1Char(' ') + when.toString(QLatin1String(kStampFormat))
            + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    };
    // Two copies in one second: the later takes the next free second, so
    // neither replaces the other and the order stays.
    QDateTime when = now;
    while (QFileInfo::exists(nameAt(when)))
        when = when.addSecs(1);
    const QString target = nameAt(when);
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot back up \"%1\": %2").arg(shown(file), source.errorString()));
    AtomicFile copy(target);
    copy.setNewFileMode(0600);
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 20);
        if (block.isEmpty() && source.error() != QFileDevice::NoError)
            throw Error(QStringLiteral("Cannot back up \"%1\": %2").arg(shown(file), source.errorString()));
        copy.write(block.constData(), block.size());
    }
    copy.commit();
    return target;
}

std::vector<Copy> kept(const std::vector<Copy> &copies, const Policy &policy)
{
    std::vector<bool> keep(copies.size(), false);
    std::set<QDate> days;
    size_t i = 0;
    for (; i < copies.size(); ++i) {
        const QDate day = copies[i].taken.date();
        if (days.count(day))
            continue;
        if (int(days.size()) >= std::max(policy.days, 0))
            break;
        days.insert(day);
        keep[i] = true;
    }
    std::set<std::pair<int, int>> weeks;
    for (; i < copies.size(); ++i) {
        int year = 0;
        const int week = copies[i].taken.date().weekNumber(&year);
        const std::pair<int, int> w{year, week};
        if (days.count(copies[i].taken.date()) || weeks.count(w))
            continue;
        if (int(weeks.size()) >= std::max(policy.weeks, 0))
            break;
        weeks.insert(w);
        keep[i] = true;
    }
    std::vector<Copy> result;
    qint64 total = 0;
    for (size_t k = 0; k < copies.size(); ++k) {
        if (!keep[k])
            continue;
        if (policy.maxBytes > 0 && !result.empty() && total + copies[k].size > policy.maxBytes)
            break;
        total += copies[k].size;
        result.push_back(copies[k]);
    }
    return result;
}

void rotate(const QString &root, const QString &file, const Policy &policy)
{
    const std::vector<Copy> all = list(root, file);
    const std::vector<Copy> keep = kept(all, policy);
    for (const Copy &c : all)
        if (std::none_of(keep.begin(), keep.end(), [&](const Copy &k) { return k.path == c.path; }))
            QFile::remove(c.path);
}

Keeper::Keeper(std::function<QString()> root, std::function<Policy()> policy, Clock clock)
    : m_root(std::move(root)), m_policy(std::move(policy)), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
}

void Keeper::beforeWrite(const QString &file)
{
    if (!QFileInfo(file).isFile())
        return;  // a new file has nothing to lose yet
    const Policy policy = m_policy ? m_policy() : Policy{};
    if (policy.isOff())
        return;
    const QString real = realPath(file);
    const QDateTime now = m_clock();
    if (const auto last = m_last.find(real); last != m_last.end() && last->second.secsTo(now) < 24 * 60 * 60)
        return;
    const QString root = m_root();
    // Marked first: a copy that fails is not tried again before every write.
    m_last[real] = now;
    const std::vector<Copy> copies = list(root, file);
    if (!copies.empty() && sameBytes(copies.front().path, file))
        return;
    take(root, file, now);
    rotate(root, file, policy);
}

} // namespace tl::backup
