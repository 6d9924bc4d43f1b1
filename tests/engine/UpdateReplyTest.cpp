#include "EngineFixture.h"

#include <string>

#include "EngineMessages.h"

namespace {

using Server = LoopbackHttpServer;

// The text of the one log entry after its time stamp.
std::string
LoggedAnswer(const BString& log)
{
	int32 blank = log.FindFirst(' ');
	return blank < 0 ? std::string() : std::string(log.String() + blank + 1);
}

} // namespace

class UpdateReplyTest : public EngineFixture {
protected:
	void SetUp() override
	{
		EngineFixture::SetUp();
		WritePrefs([](CPreferences& prefs) {
			prefs.fIpCache = "203.0.113.7";
			prefs.fTimeOut = 1;
		});
	}

	// Runs one forced update and returns its log entry's text.
	std::string UpdateWith(const Server::Behaviour& behaviour)
	{
		fServer.SetBehaviour(behaviour);
		fEngine->Lock();
		fEngine->fLogText = "";
		fEngine->Unlock();
		Run(MSG_UPDATE);
		return LoggedAnswer(fEngine->LogText());
	}
};

TEST_F(UpdateReplyTest, SuccessfulAnswersInEveryFraming)
{
	for (Server::Framing framing :
		{Server::kFramingChunked, Server::kFramingContentLength, Server::kFramingClose}) {
		Server::Behaviour behaviour = fBehaviour;
		behaviour.update.framing = framing;
		behaviour.answers = {Server::Answer(Server::kAnswerNochg, "203.0.113.7")};
		EXPECT_EQ(UpdateWith(behaviour), "Not Changed (same ip) 203.0.113.7") << framing;
		EXPECT_EQ(fEngine->fUpdateResult, 0);

		behaviour.answers = {Server::Answer(Server::kAnswerGood, "203.0.113.7")};
		EXPECT_EQ(UpdateWith(behaviour), "Ip Changed 203.0.113.7");
		EXPECT_EQ(fEngine->fUpdateResult, 0);

		behaviour.answers = {"good"};
		EXPECT_EQ(UpdateWith(behaviour), "Ip Changed");
		EXPECT_EQ(fEngine->fUpdateResult, 0);
	}
}

TEST_F(UpdateReplyTest, ErrorAnswersAreLoggedAndFail)
{
	const struct {
		Server::AnswerCode code;
		const char* text;
	} kErrors[] = {
		{Server::kAnswerBadauth, "badauth"},
		{Server::kAnswerNotDonator, "!donator"},
		{Server::kAnswerNotFqdn, "notfqdn"},
		{Server::kAnswerNoHost, "nohost"},
		{Server::kAnswerNumHost, "numhost"},
		{Server::kAnswerAbuse, "abuse"},
		{Server::kAnswerBadAgent, "badagent"},
		{Server::kAnswerBadSys, "badsys"},
		{Server::kAnswerNotYours, "!yours"},
		{Server::kAnswerDnsErr, "dnserr"},
		{Server::kAnswer911, "911"},
	};
	for (const auto& error : kErrors) {
		Server::Behaviour behaviour = fBehaviour;
		behaviour.answers = {Server::Answer(error.code)};
		EXPECT_EQ(UpdateWith(behaviour), error.text);
		EXPECT_EQ(fEngine->fUpdateResult, -1) << error.text;
	}

	// One bad line among several hosts fails the whole update.
	Server::Behaviour behaviour = fBehaviour;
	behaviour.answers = {"good 203.0.113.7", "nohost"};
	EXPECT_EQ(UpdateWith(behaviour), "Ip Changed 203.0.113.7nohost");
	EXPECT_EQ(fEngine->fUpdateResult, -1);

	// A word that merely begins like a good answer is no success.
	behaviour.answers = {"goodness"};
	UpdateWith(behaviour);
	EXPECT_EQ(fEngine->fUpdateResult, -1);
}

TEST_F(UpdateReplyTest, RefusedCredentialsOrStatusFail)
{
	Server::Behaviour behaviour = fBehaviour;
	behaviour.update.status = 401;
	EXPECT_EQ(UpdateWith(behaviour), "badauth");
	EXPECT_EQ(fEngine->fUpdateResult, -1);

	// A non-2xx status fails even with a good-looking body.
	behaviour.update.status = 500;
	behaviour.answers = {"good 203.0.113.7"};
	UpdateWith(behaviour);
	EXPECT_EQ(fEngine->fUpdateResult, -1);

	behaviour.update.status = 200;
	behaviour.update.rawReply = "<html><body>Service Unavailable</body></html>";
	EXPECT_EQ(UpdateWith(behaviour), "Data receiving Error !");
	EXPECT_EQ(fEngine->fUpdateResult, -1);
}

TEST_F(UpdateReplyTest, UnreadableRepliesAreReceivingErrors)
{
	Server::Behaviour empty = fBehaviour;
	empty.answers = {};
	empty.update.rawReply = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
	EXPECT_EQ(UpdateWith(empty), "Data receiving Error !");
	EXPECT_EQ(fEngine->fUpdateResult, -1);

	for (Server::Fault fault : {Server::kFaultStall, Server::kFaultCloseAfterBytes}) {
		Server::Behaviour behaviour = fBehaviour;
		behaviour.update.fault = fault;
		behaviour.closeAfterBytes = 40;
		EXPECT_EQ(UpdateWith(behaviour), "Data receiving Error !") << fault;
		EXPECT_EQ(fEngine->fUpdateResult, -1);
	}

	// A body cut short of its declared length is not read as an answer.
	Server::Behaviour cut = fBehaviour;
	cut.update.rawReply = "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\ngood 203.0.113.7";
	EXPECT_EQ(UpdateWith(cut), "Data receiving Error !");
}

// A reply is read up to 64 KiB: a fast flood with a long time-out stops there. Read whole,
// this one would be a success, its filler lines holding nothing.
TEST_F(UpdateReplyTest, FloodStopsAt64KiB)
{
	WritePrefs([](CPreferences& prefs) {
		prefs.fIpCache = "203.0.113.7";
		prefs.fTimeOut = 120;
	});
	Server::Behaviour flood = fBehaviour;
	flood.update.fault = Server::kFaultFlood;
	flood.update.framing = Server::kFramingContentLength;
	flood.floodFiller = ' ';
	flood.floodBytes = 64 * 1024;
	EXPECT_EQ(UpdateWith(flood), "Data receiving Error !");
	EXPECT_EQ(fEngine->fUpdateResult, -1);

	// Just under the cap, the same reply is read whole.
	flood.floodBytes = 60 * 1024;
	std::string logged = UpdateWith(flood);
	EXPECT_EQ(fEngine->fUpdateResult, 0);
	const std::string kAnswer = "Ip Changed 203.0.113.7";
	EXPECT_TRUE(logged.size() > kAnswer.size()
		&& logged.compare(logged.size() - kAnswer.size(), kAnswer.size(), kAnswer) == 0);
}

// A server that sends a byte now and then cannot hold the engine past its time-out.
TEST_F(UpdateReplyTest, TrickleCannotHoldTheEngine)
{
	Server::Behaviour trickle = fBehaviour;
	trickle.update.fault = Server::kFaultTrickle;
	trickle.trickleInterval = 200000;
	EXPECT_EQ(UpdateWith(trickle), "Data receiving Error !");
	EXPECT_EQ(fEngine->fUpdateResult, -1);

	// A check page that trickles fails the check the same way.
	Server::Behaviour page = fBehaviour;
	page.checkPage.fault = Server::kFaultTrickle;
	page.trickleInterval = 200000;
	fServer.SetBehaviour(page);
	Run(MSG_CHECK_IP);
	EXPECT_EQ(fEngine->fCheckResult, -1);
}
