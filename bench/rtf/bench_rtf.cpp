// RTF throughput on a generated 20 MB rich document (mixed formats,
// bullets, Cyrillic in code page 1251), the same with 40 % of it PNG
// pictures, and a 10 MB one of links, pictures, objects and tables: plain-text extraction and a document round trip,
// each as MB/s and as a ratio to a plain memory copy of the same bytes
// measured in the same run; reading and writing the document also against
// Qt's own HTML import and export of the same content.

#include "richtext/rtfdocument.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string &document()
{
    static const std::string doc = [] {
        std::string s =
            "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss\\fcharset204{\\*\\fname "
            "Arial;}Arial CYR;}{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\froman\\fcharset0 Times New Roman;}}\r\n"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";
        const char *const paragraphs[] = {
            "\\pard\\qc\\cf1\\b\\fs28 \\'c7\\'e0\\'e3\\'ee\\'eb\\'ee\\'e2\\'ee\\'ea %d\\cf0\\b0\\fs20\\par\r\n",
            "\\pard Plain Latin text with \\b bold\\b0 , \\i italic\\i0  and \\ul underlined\\ulnone  words, "
            "then \\f2 another font\\f0  and \\cf2 colour\\cf0  number %d.\\par\r\n",
            "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 "
            "\\'ea\\'f3\\'ef\\'e8\\'f2\\'fc \\'f5\\'eb\\'e5\\'e1 \\'e8 \\'ec\\'ee\\'eb\\'ee\\'ea\\'ee %d\\par\r\n"
            "{\\pntext\\f1\\'B7\\tab}second item with \\u8364? euro\\par\r\n",
            "\\pard\\qr\\'cf\\'ee\\'e4\\'ef\\'e8\\'f1\\'fc\\tab 12:30 \\emdash  %d\\line next line\\par\r\n",
        };
        char buf[1024];
        for (int i = 0; s.size() < 20u * 1024 * 1024; ++i) {
            std::snprintf(buf, sizeof buf, paragraphs[i % 4], i);
            s += buf;
        }
        s += "}\r\n";
        return s;
    }();
    return doc;
}

// The plain text of in, as Find and rtfcat take it.
void plainTextOf(benchmark::State &state, const std::string &in)
{
    for (auto _ : state) {
        QString text = tl::rtf::toPlainText(in);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

// in read into a document and written out again, as a load and a save do.
void roundTripOf(benchmark::State &state, const std::string &in)
{
    for (auto _ : state) {
        QTextDocument doc;
        tl::rtf::readDocument(in, doc);
        QByteArray out = tl::rtf::writeDocument(doc);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

void BM_MemoryCopy(benchmark::State &state)
{
    const std::string &in = document();
    std::string out(in.size(), '\0');
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

void BM_PlainText(benchmark::State &state) { plainTextOf(state, document()); }

void BM_DocumentRoundTrip(benchmark::State &state) { roundTripOf(state, document()); }

// Input built to hurt: a big font table switched through constantly, code
// page words repeated deep inside groups, 100,000 levels of nesting. Its
// rate should stay in the same range as the normal document's.
const std::string &hostile()
{
    static const std::string doc = [] {
        std::string s = "{\\rtf1\\ansi{\\fonttbl";
        for (int i = 0; i < 50000; ++i)
            s += "{\\f" + std::to_string(i) + "\\fcharset204 F" + std::to_string(i) + ";}";
        s += "}";
        for (int i = 0; s.size() < 10u * 1024 * 1024; ++i)
            s += "\\f" + std::to_string(i % 50000) + " x";
        s.append(100000, '{');
        for (int i = 0; i < 200000; ++i)
            s += "\\ansicpg1251\\'e0";
        s.append(100000, '}');
        return s + "}";
    }();
    return doc;
}

// A note of what is not text: links, small PNG pictures, kept metafiles
// and objects, tables of three columns with a short row. Its rates should
// stay in the range of the text document's.
const std::string &objects()
{
    static const std::string doc = [] {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::white);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const std::string pngHex = png.toHex().toStdString();
        const std::string wmf = "010009000003" "0c000000" "0000" "03000000" "0000" "030000000000";
        std::string s = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}\r\n"
                        "{\\colortbl ;\\red0\\green0\\blue255;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs22 ";
        for (int i = 0; s.size() < 10u * 1024 * 1024; ++i) {
            const std::string n = std::to_string(i);
            s += "\\pard See {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/" + n
                 + "\"}}{\\fldrslt{\\ul\\cf1 link " + n + "}}} and {\\pict\\pngblip\\picw8\\pich6\\picwgoal120"
                 "\\pichgoal90\r\n" + pngHex + "\r\n} then {\\pict\\wmetafile8\\picw423\\pich317 " + wmf
                 + "} or {\\object\\objemb{\\*\\objclass Paint.Picture}\\objw300\\objh200{\\*\\objdata 0105000002"
                 "000000}{\\result{\\pict\\wmetafile8 " + wmf + "}}}\\par\r\n";
            if (i % 4 == 0) {
                const std::string row = "\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl ";
                s += row + "Name " + n + "\\cell Qty\\cell Price\\cell\\row\r\n";
                s += row + "Apples\\cell 3\\cell\\cell\\row\r\n";
                s += row + "two\\par lines\\cell x\\cell\\row\r\n\\pard\\par\r\n";
            }
        }
        return s + "}\r\n";
    }();
    return doc;
}

void BM_PlainTextObjects(benchmark::State &state) { plainTextOf(state, objects()); }

void BM_DocumentRoundTripObjects(benchmark::State &state) { roundTripOf(state, objects()); }

// The text document's paragraphs with PNG screenshots among them, 40 % of
// the bytes: its round trip should run at least as fast as the text's.
const std::string &pictures()
{
    static const std::string doc = [] {
        std::vector<std::string> hexes;
        for (int k = 0; k < 8; ++k) {
            QImage image(160, 120, QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, qRgb((x * 7 + k * 31) & 255, (y * 5 + x * k) & 255, (x ^ y) & 255));
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            std::string h = png.toHex().toStdString();
            std::string lines;
            for (std::size_t i = 0; i < h.size(); i += 128)
                lines += h.substr(i, 128) + "\r\n";
            hexes.push_back(lines);
        }
        const std::string &text = document();
        std::string s = text.substr(0, text.find("\\viewkind4"));
        s += "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
        std::size_t pictureBytes = 0, at = s.size();
        for (int i = 0; s.size() < 20u * 1024 * 1024; ++i) {
            // Whole paragraphs of the text document until pictures are 40 %.
            while (pictureBytes * 10 >= s.size() * 4) {
                const std::size_t end = text.find("\\par\r\n", at) + 6;
                s.append(text, at, end - at);
                at = end < text.size() - 100 ? end : text.find("\\pard", 0);
            }
            const std::string pict = "{\\pict\\pngblip\\picw160\\pich120\\picwgoal2400\\pichgoal1800\r\n"
                                     + hexes[std::size_t(i) % hexes.size()] + "}";
            s += "\\pard See " + pict + " here.\\par\r\n";
            pictureBytes += pict.size();
        }
        std::printf("with pictures: %.1f MB, %.0f %% pictures\n", s.size() / 1e6, 100.0 * pictureBytes / s.size());
        return s + "}\r\n";
    }();
    return doc;
}

void BM_PlainTextPictures(benchmark::State &state) { plainTextOf(state, pictures()); }

void BM_DocumentRoundTripPictures(benchmark::State &state) { roundTripOf(state, pictures()); }

void BM_PlainTextHostile(benchmark::State &state) { plainTextOf(state, hostile()); }

// The two halves of the round trip, for finding where time goes.
void BM_ReadDocument(benchmark::State &state)
{
    const std::string &in = document();
    for (auto _ : state) {
        QTextDocument doc;
        tl::rtf::readDocument(in, doc);
        benchmark::DoNotOptimize(&doc);
        state.PauseTiming(); // the document's destruction is not reading
        doc.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

void BM_WriteDocument(benchmark::State &state)
{
    const std::string &in = document();
    QTextDocument doc;
    tl::rtf::readDocument(in, doc);
    for (auto _ : state) {
        QByteArray out = tl::rtf::writeDocument(doc);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

// The toolkit's own floor for the same content: Qt's HTML import of the
// document's toHtml(), and toHtml() itself. Rates are per RTF byte, so
// they compare with the two halves above.
const QString &documentHtml()
{
    static const QString html = [] {
        QTextDocument doc;
        tl::rtf::readDocument(document(), doc);
        return doc.toHtml();
    }();
    return html;
}

void BM_QtSetHtml(benchmark::State &state)
{
    const std::string &in = document();
    const QString &html = documentHtml();
    for (auto _ : state) {
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        doc.setHtml(html);
        benchmark::DoNotOptimize(&doc);
        state.PauseTiming();
        doc.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

void BM_QtToHtml(benchmark::State &state)
{
    const std::string &in = document();
    QTextDocument doc;
    tl::rtf::readDocument(in, doc);
    for (auto _ : state) {
        QString html = doc.toHtml();
        benchmark::DoNotOptimize(html.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

BENCHMARK(BM_MemoryCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTextHostile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocumentRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainTextObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocumentRoundTripObjects)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainTextPictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocumentRoundTripPictures)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteDocument)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QtSetHtml)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QtToHtml)->Unit(benchmark::kMillisecond)->Iterations(3);

// Keeps each benchmark's throughput for the ratio lines.
class Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            auto it = r.counters.find("bytes_per_second");
            if (it != r.counters.end())
                rates[r.benchmark_name()] = it->second.value;
        }
    }
    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("document: %.1f MB, with objects: %.1f MB\n", document().size() / 1e6, objects().size() / 1e6);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double copy = reporter.rates["BM_MemoryCopy"];
    for (const char *name : {"BM_PlainText", "BM_PlainTextHostile", "BM_DocumentRoundTrip/iterations:3",
                             "BM_ReadDocument/iterations:3", "BM_WriteDocument/iterations:3", "BM_PlainTextObjects",
                             "BM_DocumentRoundTripObjects/iterations:3", "BM_PlainTextPictures",
                             "BM_DocumentRoundTripPictures/iterations:3", "BM_QtSetHtml/iterations:3",
                             "BM_QtToHtml/iterations:3"}) {
        auto it = reporter.rates.find(name);
        if (it == reporter.rates.end() || copy <= 0)
            continue;
        std::printf("%-36s %8.1f MB/s  %.4f of memory copy (%.0f MB/s)\n", name, it->second / 1e6,
                    it->second / copy, copy / 1e6);
    }
    // Above 1 the codec is faster than the toolkit's own HTML path.
    const auto ratio = [&](const char *name, const char *floor, const char *label, const char *floorLabel) {
        const auto it = reporter.rates.find(name), f = reporter.rates.find(floor);
        if (it != reporter.rates.end() && f != reporter.rates.end() && f->second > 0)
            std::printf("%-36s %8.1f MB/s  %.2f of Qt's %s (%.1f MB/s)\n", label, it->second / 1e6,
                        it->second / f->second, floorLabel, f->second / 1e6);
    };
    ratio("BM_ReadDocument/iterations:3", "BM_QtSetHtml/iterations:3", "read RTF into the document", "setHtml()");
    ratio("BM_WriteDocument/iterations:3", "BM_QtToHtml/iterations:3", "write the document as RTF", "toHtml()");
    benchmark::Shutdown();
    return 0;
}
