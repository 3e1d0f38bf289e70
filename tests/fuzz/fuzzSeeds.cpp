#include "fuzzSeeds.h"

#include "app/configFile.h"
#include "data/wireEnvelope.h"
#include "support/liveBytes.h"
#include "support/byteBuilder.h"
#include "support/sampleRecording.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> streams()
{
    testing_support::TempDir dir;
    std::vector<Bytes> out;
    for (int mode : {0, 1}) {
        testing_support::resetCore();
        testing_support::fillPrimary({mode, 300, 2, mode == 0, 7u + static_cast<unsigned>(mode)});
        testing_support::writePrimary(dir.file("seed.dat"));
        out.push_back(testing_support::fileBytes(dir.file("seed.dat")));
    }
    testing_support::resetCore();
    testing_support::ByteBuilder b;
    b.u8(28).textSection(40, "id").textSection(44, "c").u8(52).u16(1).u16(0).u8(56).u16(2).u16(56).u16(3);
    out.push_back(b.bytes);
    return out;
}

std::vector<Bytes> captures()
{
    std::vector<Bytes> out;
    for (const Bytes& stream : streams())
        out.push_back(data::wrapInEnvelope(stream));
    testing_support::resetCore();
    return out;
}

std::vector<Bytes> configurations()
{
    std::vector<Bytes> out;
    out.push_back(app::configurationBytes({}));
    app::SavedWindow report;
    report.record = {40002, 10, 20, 700, 500, 1};
    app::SavedWindow bands;
    bands.record = {26, 30, 40, 400, 300, 1};
    bands.state.assign(504, 0);
    bands.state[8] = 0x40;
    app::SavedWindow spectrum;
    spectrum.record = {27, 50, 60, 400, 300, 3};
    spectrum.state.assign(196, 1);
    out.push_back(app::configurationBytes({report, bands, spectrum}));
    return out;
}

// Live sessions with every kind of packet, clean and with the line's faults.
std::vector<Bytes> liveSessions()
{
    std::vector<Bytes> out;
    for (int variant = 0; variant < 3; ++variant) {
        testing_support::LiveBytes b;
        b.run(0x81, 32).text(0xB0, "Corvane").run(static_cast<std::uint8_t>(0xF0 | (variant & 1)));
        b.frames(40, [](int k, int c) { return (k * 37 + c * 11) % 300 - 150; });
        b.run(0xF2).text(0xA0, "Title").text(0x90, "Report text\r\n");
        b.raw({0xC1, 0xC0, 0xCF, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xFF});
        if (variant == 2)
            b.raw({0x10, 0x95, 0x20, 0x21, 0x45});  // a broken pair and channels out of order
        b.frames(30, [](int k, int c) { return k - c; }).run(0xFA).run(0xFB, 9);
        b.run(variant == 1 ? 0xF4 : 0xF5, 12, false).raw({0x24, 0x00});
        out.push_back(b.bytes);
    }
    return out;
}

}  // namespace

std::vector<Bytes> fuzzSeeds(const std::string& target)
{
    if (target == "live")
        return liveSessions();
    if (target == "wire")
        return captures();
    if (target == "config")
        return configurations();
    return streams();  // "stream" and "patient": data files
}
