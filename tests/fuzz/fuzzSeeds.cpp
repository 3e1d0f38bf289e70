#include "fuzzSeeds.h"

#include "app/configFile.h"
#include "data/wireEnvelope.h"
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

}  // namespace

std::vector<Bytes> fuzzSeeds(const std::string& target)
{
    if (target == "wire")
        return captures();
    if (target == "config")
        return configurations();
    return streams();
}
