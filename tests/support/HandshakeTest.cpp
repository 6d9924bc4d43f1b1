#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include <OS.h>

#include "Handshake.h"

using BPrivate::Handshake;

namespace {

// A doer that answers after a moment.
std::thread
FinishSoon(std::shared_ptr<Handshake<int>> handshake, int answer)
{
	return std::thread([handshake, answer] {
		snooze(20000);
		handshake->Finish(answer);
	});
}

} // namespace

TEST(HandshakeTest, TheAskerGetsTheAnswerOrGivesUpWithoutOne)
{
	auto handshake = std::make_shared<Handshake<int>>();
	int result = -1;
	EXPECT_FALSE(handshake->Wait(1000, &result));
	EXPECT_EQ(-1, result);

	std::thread doer = FinishSoon(handshake, 7);
	EXPECT_TRUE(handshake->Wait(10000000, &result));
	EXPECT_EQ(7, result);
	doer.join();
}

TEST(HandshakeTest, WorkNotBegunInTimeIsWithdrawnAndWorkBegunIsWaitedFor)
{
	auto withdrawn = std::make_shared<Handshake<int>>();
	int result = -1;
	EXPECT_FALSE(withdrawn->WaitOrWithdraw(1000, &result));
	// The doer comes too late: the work is not to be done.
	EXPECT_FALSE(withdrawn->Begin());

	auto begun = std::make_shared<Handshake<int>>();
	ASSERT_TRUE(begun->Begin());
	std::thread doer = FinishSoon(begun, 9);
	EXPECT_TRUE(begun->WaitOrWithdraw(1000, &result));
	EXPECT_EQ(9, result);
	doer.join();
}
