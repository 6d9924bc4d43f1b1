#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <DataIO.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

namespace {

const int kSide = 16;
const uint8 kTransparent = 255;
const uint8 kRingOuter = 52;
const uint8 kRingMiddle = 54;
const uint8 kRingInner = 56;

typedef std::vector<uint8> Pixels;

class StatusPicturesTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		BFile file(ZORVE_EXECUTABLE, B_READ_ONLY);
		BResources resources(&file);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		const char* const names[] = {"ZRV:Normal", "ZRV:Pending1", "ZRV:Pending2", "ZRV:Pending3",
			"ZRV:Error"};
		for (const char* name : names) {
			size_t size = 0;
			const void* archive = resources.LoadResource('BBMP', name, &size);
			ASSERT_NE(archive, nullptr) << name;
			BMemoryIO io(archive, size);
			BMessage message;
			ASSERT_EQ(message.Unflatten(&io), B_OK) << name;
			const void* data = NULL;
			ssize_t length = 0;
			ASSERT_EQ(message.FindData("_data", B_RAW_TYPE, &data, &length), B_OK) << name;
			ASSERT_EQ(length, kSide * kSide);
			const uint8* bytes = static_cast<const uint8*>(data);
			fPictures.push_back(Pixels(bytes, bytes + length));
		}
		for (type_code type : {(type_code)B_LARGE_ICON_TYPE, (type_code)B_MINI_ICON_TYPE}) {
			size_t size = 0;
			const uint8* icon = static_cast<const uint8*>(resources.LoadResource(type, 101, &size));
			ASSERT_NE(icon, nullptr);
			fIcons.push_back(Pixels(icon, icon + size));
		}
	}

	const Pixels& Normal() const { return fPictures[0]; }
	const Pixels& Pending(int frame) const { return fPictures[frame]; }
	const Pixels& Error() const { return fPictures[4]; }

	// Pixels where `picture` differs from the normal picture, by index.
	std::map<uint8, std::vector<int>> Added(const Pixels& picture) const
	{
		std::map<uint8, std::vector<int>> added;
		for (int i = 0; i < kSide * kSide; i++) {
			if (picture[i] != Normal()[i])
				added[picture[i]].push_back(i);
		}
		return added;
	}

	std::vector<Pixels> fPictures;
	std::vector<Pixels> fIcons;
};

double
MeanDistanceFromCentre(const std::vector<int>& pixels)
{
	double sum = 0;
	for (int i : pixels)
		sum += hypot(i % kSide - 7.5, i / kSide - 7.5);
	return pixels.empty() ? 0 : sum / pixels.size();
}

// A ring goes all the way round: it has pixels above, below, left and right of the centre.
bool
Surrounds(const std::vector<int>& pixels)
{
	bool above = false, below = false, left = false, right = false;
	for (int i : pixels) {
		const int x = i % kSide, y = i / kSide;
		if (x >= 7 && x <= 8) {
			above |= y < 7;
			below |= y > 8;
		}
		if (y >= 7 && y <= 8) {
			left |= x < 7;
			right |= x > 8;
		}
	}
	return above && below && left && right;
}

int
TransparentOnTheBorder(const Pixels& picture, int side)
{
	int count = 0;
	for (int i = 0; i < side; i++) {
		count += picture[i] == kTransparent;
		count += picture[(side - 1) * side + i] == kTransparent;
		count += picture[i * side] == kTransparent;
		count += picture[i * side + side - 1] == kTransparent;
	}
	return count;
}

} // namespace

TEST_F(StatusPicturesTest, OutermostRowsAndColumnsAreLargelyTransparent)
{
	for (const Pixels& picture : fPictures)
		EXPECT_GE(TransparentOnTheBorder(picture, kSide), 3 * 4 * kSide / 4);
	ASSERT_EQ(fIcons[0].size(), 32u * 32u);
	ASSERT_EQ(fIcons[1].size(), 16u * 16u);
	EXPECT_GE(TransparentOnTheBorder(fIcons[0], 32), 3 * 4 * 32 / 4);
	EXPECT_GE(TransparentOnTheBorder(fIcons[1], 16), 3 * 4 * 16 / 4);
	// The drawing itself is opaque.
	EXPECT_NE(Normal()[7 * kSide + 7], kTransparent);
}

TEST_F(StatusPicturesTest, PendingFramesAddRingsThatSpreadOutwards)
{
	const std::map<uint8, std::vector<int>> first = Added(Pending(1));
	const std::map<uint8, std::vector<int>> second = Added(Pending(2));
	const std::map<uint8, std::vector<int>> third = Added(Pending(3));
	ASSERT_EQ(first.size(), 1u);
	ASSERT_EQ(first.count(kRingOuter), 1u);
	ASSERT_EQ(second.size(), 2u);
	ASSERT_EQ(second.count(kRingOuter) + second.count(kRingMiddle), 2u);
	ASSERT_EQ(third.size(), 3u);
	ASSERT_EQ(third.count(kRingOuter) + third.count(kRingMiddle) + third.count(kRingInner), 3u);

	// Each frame's newest ring is the outermost, and the older rings stay where they were.
	EXPECT_EQ(second.at(kRingMiddle), first.at(kRingOuter));
	EXPECT_EQ(third.at(kRingInner), first.at(kRingOuter));
	EXPECT_EQ(third.at(kRingMiddle), second.at(kRingOuter));
	EXPECT_GT(MeanDistanceFromCentre(second.at(kRingOuter)),
		MeanDistanceFromCentre(first.at(kRingOuter)));
	EXPECT_GT(MeanDistanceFromCentre(third.at(kRingOuter)),
		MeanDistanceFromCentre(second.at(kRingOuter)));
	for (const auto& ring : third)
		EXPECT_TRUE(Surrounds(ring.second)) << (int)ring.first;

	// The rings lie around the disc, which the error picture shows in its own colours.
	std::vector<int> disc;
	for (const auto& colour : Added(Error()))
		disc.insert(disc.end(), colour.second.begin(), colour.second.end());
	ASSERT_FALSE(disc.empty());
	for (const auto& ring : third) {
		EXPECT_GT(MeanDistanceFromCentre(ring.second), MeanDistanceFromCentre(disc));
		for (int i : ring.second)
			EXPECT_EQ(std::count(disc.begin(), disc.end(), i), 0);
	}
}

TEST_F(StatusPicturesTest, ErrorPictureRedrawsOnlyTheDiscInItsSixColours)
{
	std::set<uint8> colours;
	std::vector<int> disc;
	for (const auto& colour : Added(Error())) {
		colours.insert(colour.first);
		disc.insert(disc.end(), colour.second.begin(), colour.second.end());
	}
	EXPECT_EQ(colours, (std::set<uint8>{42, 43, 45, 47, 48, 235}));
	// A disc in the middle: every pixel near the centre, and the centre itself covered.
	for (int i : disc)
		EXPECT_LT(hypot(i % kSide - 7.5, i / kSide - 7.5), 3.5);
	for (int i : {7 * kSide + 7, 7 * kSide + 8, 8 * kSide + 7, 8 * kSide + 8})
		EXPECT_EQ(std::count(disc.begin(), disc.end(), i), 1);
}
