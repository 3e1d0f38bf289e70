// The names, page ranges and replace question of the image command, and the
// image writer through DevIL.
#include <gtest/gtest.h>

#include <vector>

#include "report/imageNames.h"
#include "report/imageWriter.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"

using namespace report;

TEST(ImageNames, PageRangesNamesAndTheReplaceQuestion)
{
    using Range = std::pair<std::uint32_t, std::uint32_t>;
    EXPECT_EQ(parsePageRange("0-3", 10, {1, 10}), (Range{1, 3}));
    EXPECT_EQ(parsePageRange("2 5", 10, {1, 10}), (Range{2, 5}));
    EXPECT_EQ(parsePageRange("2 , 5", 10, {1, 10}), (Range{2, 5}));
    EXPECT_EQ(parsePageRange("4-99", 10, {1, 10}), (Range{4, 10}));
    EXPECT_EQ(parsePageRange("6-2", 10, {1, 10}), (Range{6, 10}));
    EXPECT_EQ(parsePageRange("11-12", 10, {2, 3}), (Range{2, 3}));
    EXPECT_EQ(parsePageRange("abc", 10, {2, 3}), (Range{2, 3}));
    const auto paths = imagePaths("/x", "run.tif", 'g', ".png", 1, 2, false);
    EXPECT_EQ(paths, (std::vector<std::string>{"/x/run.tif-g001.png", "/x/run.tif-g002.png"}));
    EXPECT_EQ(imagePaths("/x", "a", 'f', ".jpg", 1, 9, true), std::vector<std::string>{"/x/a-f.jpg"});

    testing_support::TempDir dir;
    const auto three = imagePaths(dir.path().string(), "p", 'g', ".png", 1, 3, false);
    EXPECT_EQ(replaceQuestion(dir.path().string(), three, false), "");
    testing_support::writeBytes(three[1], {1});
    EXPECT_EQ(replaceQuestion(dir.path().string(), three, false),
              dir.path().string() + "\np-g002.png exists.\n\nDo you want to replace it?");
    const auto many = imagePaths(dir.path().string(), "p", 'g', ".png", 1, 40, false);
    for (const auto& path : many)
        testing_support::writeBytes(path, {1});
    EXPECT_EQ(replaceQuestion(dir.path().string(), many, false), "Files exist.\nDo you want to replace it?");
    const auto view = imagePaths(dir.path().string(), "p", 'f', ".png", 1, 1, true);
    testing_support::writeBytes(view[0], {1});
    EXPECT_EQ(replaceQuestion(dir.path().string(), view, true), "\np-f.png exists. Do you want to replace it?");
}

TEST(ImageWriter, PngJpegAndBmpOpenInAnotherDecoderUpright)
{
    if (testing_support::runCommand("command -v identify").status != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    testing_support::TempDir dir;
    // 4 x 2 pixels, bottom row first: the bottom row red, the top row blue.
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(), {0, 0, 255, 255});
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(), {255, 0, 0, 255});
    for (const char* name : {"a.png", "a.jpg", "a.bmp", "a.PNG"}) {
        const std::string path = dir.file(name);
        ASSERT_TRUE(writeImage(path, imageTypeOf(path), 4, 2, pixels.data())) << name;
        const auto r = testing_support::runCommand("identify -format '%m %wx%h' " + path);
        EXPECT_EQ(r.out.substr(r.out.find(' ')), " 4x2") << name;
    }
    EXPECT_EQ(testing_support::runCommand("identify -format '%m' " + dir.file("a.jpg")).out, "JPEG");
    EXPECT_EQ(testing_support::runCommand("identify -format '%m' " + dir.file("a.bmp")).out, "BMP3");
    // Upright: the first row of the file is the top (blue) row.
    const auto top = testing_support::runCommand("convert " + dir.file("a.png") + " -crop 1x1+0+0 -depth 8 txt:-").out;
    EXPECT_NE(top.find("#0000FF"), std::string::npos) << top;
    // A folder that is not there: false, and nothing is left anywhere.
    EXPECT_FALSE(writeImage(dir.file("none/a.png"), ImageType::png, 4, 2, pixels.data()));
}
