#include <gtest/gtest.h>

#include <set>
#include <utility>

#include <Region.h>

namespace {

typedef std::set<std::pair<int32, int32>> PixelSet;

// Every pixel of the region, failing if two of its rectangles overlap.
PixelSet
Pixels(const BRegion& region)
{
	PixelSet pixels;
	for (int32 i = 0; i < region.CountRects(); i++) {
		clipping_rect rect = region.RectAtInt(i);
		for (int32 y = rect.top; y <= rect.bottom; y++) {
			for (int32 x = rect.left; x <= rect.right; x++)
				EXPECT_TRUE(pixels.insert({x, y}).second) << "pixel twice: " << x << "," << y;
		}
	}
	return pixels;
}

PixelSet
Pixels(int32 left, int32 top, int32 right, int32 bottom)
{
	PixelSet pixels;
	for (int32 y = top; y <= bottom; y++) {
		for (int32 x = left; x <= right; x++)
			pixels.insert({x, y});
	}
	return pixels;
}

TEST(RegionTest, RectanglesIncludeTheirRightAndBottomEdges)
{
	BRegion region(BRect(2, 3, 4, 5));
	EXPECT_EQ(Pixels(2, 3, 4, 5), Pixels(region));
	EXPECT_TRUE(region.Contains(4, 5));
	EXPECT_FALSE(region.Contains(5, 5));
	EXPECT_EQ(BRect(2, 3, 4, 5), region.Frame());
}

TEST(RegionTest, InvalidRectanglesAddNothing)
{
	BRegion region{BRect()};
	EXPECT_EQ(0, region.CountRects());
	EXPECT_FALSE(region.Frame().IsValid());
	region.Include(BRect(5, 5, 4, 9));
	EXPECT_EQ(0, region.CountRects());
}

TEST(RegionTest, OverlappingIncludesCoverEachPixelOnce)
{
	BRegion region(BRect(0, 0, 9, 9));
	region.Include(BRect(5, 5, 14, 14));
	region.Include(BRect(2, 2, 3, 3));
	PixelSet expected = Pixels(0, 0, 9, 9);
	PixelSet second = Pixels(5, 5, 14, 14);
	expected.insert(second.begin(), second.end());
	EXPECT_EQ(expected, Pixels(region));
	EXPECT_EQ(BRect(0, 0, 14, 14), region.Frame());
}

TEST(RegionTest, ExcludeCutsAHole)
{
	BRegion region(BRect(0, 0, 9, 9));
	region.Exclude(BRect(3, 3, 6, 6));
	PixelSet expected = Pixels(0, 0, 9, 9);
	for (const auto& pixel : Pixels(3, 3, 6, 6))
		expected.erase(pixel);
	EXPECT_EQ(expected, Pixels(region));
	EXPECT_FALSE(region.Contains(BPoint(4, 4)));
	EXPECT_TRUE(region.Intersects(BRect(6, 6, 7, 7)));
	EXPECT_FALSE(region.Intersects(BRect(4, 4, 5, 5)));
}

TEST(RegionTest, IntersectionKeepsCommonPixelsOnly)
{
	BRegion first(BRect(0, 0, 9, 9));
	first.Include(BRect(20, 0, 29, 9));
	BRegion second(BRect(5, 5, 24, 14));
	first.IntersectWith(&second);
	PixelSet expected = Pixels(5, 5, 9, 9);
	PixelSet right = Pixels(20, 5, 24, 9);
	expected.insert(right.begin(), right.end());
	EXPECT_EQ(expected, Pixels(first));
}

TEST(RegionTest, CopiesAreIndependentAndOffsetsMoveEveryRectangle)
{
	BRegion original(BRect(0, 0, 1, 1));
	BRegion copy(original);
	copy.OffsetBy(10, 20);
	EXPECT_EQ(Pixels(10, 20, 11, 21), Pixels(copy));
	EXPECT_EQ(Pixels(0, 0, 1, 1), Pixels(original));
	copy.MakeEmpty();
	EXPECT_EQ(0, copy.CountRects());
}

} // namespace
