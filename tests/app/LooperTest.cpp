#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <Looper.h>
#include <Message.h>
#include <OS.h>

namespace {

const uint32 kMsgRecord = 'rcrd';
const uint32 kMsgBlock = 'blck';
const uint32 kMsgQuitSelf = 'quit';

// Shared with the test after the looper has deleted itself.
struct Journal {
	std::mutex lock;
	std::condition_variable changed;
	std::vector<int32> order;
	std::vector<uint32> unhandled;
	bool blocking = false;
	bool release = false;
	bool destroyed = false;
	std::string threadName;

	void Add(int32 value)
	{
		std::lock_guard<std::mutex> guard(lock);
		order.push_back(value);
		changed.notify_all();
	}

	template<typename Predicate>
	bool WaitFor(Predicate predicate)
	{
		std::unique_lock<std::mutex> guard(lock);
		return changed.wait_for(guard, std::chrono::seconds(10), predicate);
	}
};

class BaseRecorder : public BLooper {
public:
	BaseRecorder(Journal& journal, int32 capacity) :
		BLooper("TestLooper", B_NORMAL_PRIORITY, capacity),
		fJournal(journal)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(fJournal.lock);
		fJournal.unhandled.push_back(message->what);
	}

protected:
	Journal& fJournal;
};

class Recorder : public BaseRecorder {
public:
	Recorder(Journal& journal, int32 capacity = 100) :
		BaseRecorder(journal, capacity)
	{
	}

	~Recorder() override
	{
		std::lock_guard<std::mutex> guard(fJournal.lock);
		fJournal.destroyed = true;
		fJournal.changed.notify_all();
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kMsgRecord:
			{
				int32 value = -1;
				message->FindInt32("value", &value);
				char name[32] = {};
				pthread_getname_np(pthread_self(), name, sizeof(name));
				{
					std::lock_guard<std::mutex> guard(fJournal.lock);
					fJournal.threadName = name;
				}
				fJournal.Add(value);
				break;
			}
			case kMsgBlock:
			{
				std::unique_lock<std::mutex> guard(fJournal.lock);
				fJournal.blocking = true;
				fJournal.changed.notify_all();
				fJournal.changed.wait_for(guard, std::chrono::seconds(10),
					[this] { return fJournal.release; });
				fJournal.blocking = false;
				break;
			}
			case kMsgQuitSelf:
				Quit();
				break;
			default:
				BaseRecorder::MessageReceived(message);
				break;
		}
	}
};

status_t
PostValue(BLooper* looper, int32 value)
{
	BMessage message(kMsgRecord);
	message.AddInt32("value", value);
	return looper->PostMessage(&message);
}

void
ReleaseBlock(Journal& journal)
{
	std::lock_guard<std::mutex> guard(journal.lock);
	journal.release = true;
	journal.changed.notify_all();
}

} // namespace

TEST(LooperTest, HandlesMessagesInOrderOnItsOwnNamedThread)
{
	Journal journal;
	Recorder* looper = new Recorder(journal);
	for (int32 i = 0; i < 50; i++)
		ASSERT_EQ(PostValue(looper, i), B_OK);
	thread_id thread = looper->Run();
	EXPECT_GT(thread, 0);
	EXPECT_NE(thread, find_thread(NULL));

	ASSERT_TRUE(journal.WaitFor([&] { return journal.order.size() == 50; }));
	for (int32 i = 0; i < 50; i++)
		EXPECT_EQ(journal.order[i], i);
	EXPECT_EQ(journal.threadName, "TestLooper");

	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	EXPECT_TRUE(journal.destroyed);
}

TEST(LooperTest, UnhandledCodesReachTheBaseClass)
{
	Journal journal;
	Recorder* looper = new Recorder(journal);
	looper->Run();
	looper->PostMessage('othr');
	PostValue(looper, 1);
	ASSERT_TRUE(journal.WaitFor([&] { return journal.order.size() == 1; }));
	{
		std::lock_guard<std::mutex> guard(journal.lock);
		ASSERT_EQ(journal.unhandled.size(), 1u);
		EXPECT_EQ(journal.unhandled[0], (uint32)'othr');
	}
	looper->Lock();
	looper->Quit();
}

TEST(LooperTest, PostFailsWhenTheQueueIsFull)
{
	Journal journal;
	Recorder* looper = new Recorder(journal, 3);
	looper->Run();
	looper->PostMessage(kMsgBlock);
	ASSERT_TRUE(journal.WaitFor([&] { return journal.blocking; }));

	EXPECT_EQ(PostValue(looper, 1), B_OK);
	EXPECT_EQ(PostValue(looper, 2), B_OK);
	EXPECT_EQ(PostValue(looper, 3), B_OK);
	EXPECT_EQ(PostValue(looper, 4), B_WOULD_BLOCK);

	ReleaseBlock(journal);
	ASSERT_TRUE(journal.WaitFor([&] { return journal.order.size() == 3; }));
	EXPECT_EQ(journal.order, (std::vector<int32>{1, 2, 3}));
	looper->Lock();
	looper->Quit();
}

TEST(LooperTest, LockWaitsWhileAMessageIsHandled)
{
	Journal journal;
	Recorder* looper = new Recorder(journal);
	looper->Run();
	looper->PostMessage(kMsgBlock);
	ASSERT_TRUE(journal.WaitFor([&] { return journal.blocking; }));

	EXPECT_EQ(looper->LockWithTimeout(50000), B_TIMED_OUT);

	std::atomic<bool> locked(false);
	std::thread locker([&] {
		looper->Lock();
		locked = true;
		{
			std::lock_guard<std::mutex> guard(journal.lock);
			EXPECT_FALSE(journal.blocking);
		}
		looper->Unlock();
	});
	EXPECT_FALSE(locked);
	ReleaseBlock(journal);
	locker.join();
	EXPECT_TRUE(locked);

	// The lock nests for its owner.
	ASSERT_TRUE(looper->Lock());
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(looper->CountLocks(), 2);
	looper->Unlock();
	EXPECT_TRUE(looper->IsLocked());
	looper->Quit();
}

TEST(LooperTest, QuitFromAnotherThreadWaitsForTheMessageAtHand)
{
	Journal journal;
	Recorder* looper = new Recorder(journal);
	looper->Run();
	looper->PostMessage(kMsgBlock);
	ASSERT_TRUE(journal.WaitFor([&] { return journal.blocking; }));
	PostValue(looper, 7);

	std::thread releaser([&] {
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		ReleaseBlock(journal);
	});
	// Lock waits for the blocking message; Quit then ends the looper before the next one.
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	releaser.join();
	EXPECT_TRUE(journal.destroyed);
}

TEST(LooperTest, QuitFromItsOwnThreadDeletesTheLooper)
{
	Journal journal;
	Recorder* looper = new Recorder(journal);
	looper->Run();
	looper->PostMessage(kMsgQuitSelf);
	ASSERT_TRUE(journal.WaitFor([&] { return journal.destroyed; }));
}

TEST(LooperTest, QuitRequestedMessageQuitsWhenAllowed)
{
	Journal journal;
	Recorder* looper = new Recorder(journal);
	looper->Run();
	looper->PostMessage(B_QUIT_REQUESTED);
	ASSERT_TRUE(journal.WaitFor([&] { return journal.destroyed; }));
}

TEST(LooperTest, QuitOfALooperThatNeverRanFreesIt)
{
	Journal journal;
	Recorder* looper = new Recorder(journal);
	PostValue(looper, 1);
	looper->Lock();
	looper->Quit();
	EXPECT_TRUE(journal.destroyed);
	EXPECT_TRUE(journal.order.empty());
}
