#include <gtest/gtest.h>

#include <tuple>

#include "app/commands.h"
#include "lan/history_transfer.h"
#include "lan/memos.h"
#include "lan/peer_receive.h"
#include "lan/peer_send.h"
#include "syslog/history_file.h"
#include "test_command_support.h"
#include "text/cp932.h"

namespace rm::test {
namespace {

constexpr const char* Me = "192.168.0.7";

// A copy on 192.168.0.x that sees what the LAN sends it.
struct PeerMonitor : CommandMonitor {
    void From(const std::string& address, std::string_view utf8) {
        const std::string bytes = Utf8ToCp932(utf8);
        OnPeerDatagram(m, static_cast<int>(bytes.size()), bytes, address);
    }
    void Master() { m.s.settings.MasterMode = true; }
    std::vector<SentDatagram> PeerSends() const {
        std::vector<SentDatagram> sent;
        for (const SentDatagram& d : net.sent) {
            if (d.from == Endpoint::Peers) sent.push_back(d);
        }
        return sent;
    }
    std::string Received() const { return ReadFile(ReceivedHistoryFilePath(dir.path())); }
    const std::vector<std::string>& Destinations() const { return m.view.MemoSend.Destinations; }
};

SentDatagram To(const std::string& host, const std::string& text) { return {Endpoint::Peers, host, Utf8ToCp932(text)}; }

TEST(PeerProtocol, MasterAnswersChecksAndOthersFollowItsAnnouncements) {
    PeerMonitor master;
    master.Master();
    master.From("192.168.0.9", "RMonitor Master Check");
    EXPECT_EQ(master.PeerSends(), (std::vector<SentDatagram>{To("192.168.0.255", "RMonitor Master Connected")}));
    // Its own announcement comes back and changes nothing.
    master.From(Me, "RMonitor Master Connected");
    EXPECT_EQ(master.m.s.peers.MasterAddress, "");

    PeerMonitor other;
    other.From("192.168.0.9", "RMonitor Master Check");
    EXPECT_TRUE(other.PeerSends().empty());
    other.From("192.168.0.3", "RMonitor Master Connected");
    EXPECT_EQ(other.m.s.peers.MasterAddress, "192.168.0.3");
    EXPECT_FALSE(other.m.view.Menu[Item::SendHistoryLog].Visible);
    // With records kept for it the transfer item shows.
    WriteBytes(BackupHistoryFilePath(other.dir.path()), "2.04,Port1\r\n");
    other.From("192.168.0.4", "RMonitor Master Connected");
    EXPECT_EQ(other.m.s.peers.MasterAddress, "192.168.0.4");
    EXPECT_TRUE(other.m.view.Menu[Item::SendHistoryLog].Visible);

    other.m.s.peers.MasterAtConnect = true;
    other.From("192.168.0.4", "RMonitor Master DisConnected");
    EXPECT_EQ(other.m.s.peers.MasterAddress, "");
    EXPECT_FALSE(other.m.s.peers.MasterAtConnect);
    EXPECT_FALSE(other.m.view.Menu[Item::SendHistoryLog].Visible);
}

TEST(PeerProtocol, NameQueryIsAnsweredAndEmptiesTheDestinationBox) {
    PeerMonitor f;
    f.m.s.settings.NickName = "経理のPC";
    f.m.view.MemoSend.Destinations = {"a", "b"};
    f.m.view.MemoSend.Destination = "a";
    const int changes = f.m.view.MemoSend.DestinationChanges;
    f.From("192.168.0.20", "RMonitor PC Name");
    EXPECT_EQ(f.PeerSends(), (std::vector<SentDatagram>{To("192.168.0.20", "RMonitor PC Name =経理のPC")}));
    EXPECT_TRUE(f.Destinations().empty());
    EXPECT_EQ(f.m.view.MemoSend.Destination, "");
    EXPECT_GT(f.m.view.MemoSend.DestinationChanges, changes);

    PeerMonitor nameless;
    nameless.From("192.168.0.20", "RMonitor PC Name");
    EXPECT_EQ(nameless.PeerSends(), (std::vector<SentDatagram>{To("192.168.0.20", "RMonitor PC Name =")}));
}

TEST(PeerProtocol, NameRepliesFillTheDestinationListOncePerPeer) {
    PeerMonitor f;
    f.From("192.168.0.5", "RMonitor PC Name =");
    f.From("192.168.0.6", "RMonitor PC Name =受付");
    f.From("192.168.0.8", "RMonitor PC Name =受付");
    EXPECT_EQ(f.Destinations(), (std::vector<std::string>{"192.168.0.5", "受付"}));
    EXPECT_EQ(f.m.view.MemoSend.Destination, "192.168.0.5");
    EXPECT_EQ(f.m.s.peers.PcNames[5], "192.168.0.5");
    EXPECT_EQ(f.m.s.peers.PcNames[8], "受付");
    // Listed by its address already: the new name is kept but not listed.
    f.From("192.168.0.5", "RMonitor PC Name =倉庫");
    EXPECT_EQ(f.m.s.peers.PcNames[5], "倉庫");
    EXPECT_EQ(f.Destinations().size(), 2u);
    // Keyed by the last octet alone.
    f.From("10.0.0.8", "RMonitor PC Name =外");
    EXPECT_EQ(f.m.s.peers.PcNames[8], "外");
}

TEST(PeerProtocol, MemoIsCollectedWithItsHeaderAndShownAfterTheNotice) {
    PeerMonitor f;
    f.clock.now = At(2003, 1, 2, 21, 4, 37);
    f.From("192.168.0.5", "RMonitor MemoSend Ver1.00");
    f.From("192.168.0.5", "お昼です");
    f.From("192.168.0.5", " ");
    f.From("192.168.0.5", "RMonitor MemoSend End");
    const std::string rule(29, '-');
    EXPECT_EQ(f.m.view.MemoReceive.Lines,
              (std::vector<std::string>{rule, "192.168.0.5:(21:04:37)", rule, "お昼です", " ", ""}));
    // The notice is up without a loop of its own: nothing waits in a box.
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_TRUE(f.m.view.MemoNotice.Shown);
    EXPECT_EQ(f.m.view.MemoNotice.Text, "簡易メモのデータが届きました\r\n192.168.0.5 から簡易メモ 1 件");
    EXPECT_FALSE(f.m.view.MemoReceive.Shown);
    EXPECT_FALSE(f.m.s.peers.MemoReceiving);
    // The memo has ended: later lines without a header are ignored.
    f.From("192.168.0.5", "stray");
    EXPECT_EQ(f.m.view.MemoReceive.Lines.back(), "");

    MemoNoticeClosed(f.m);
    EXPECT_FALSE(f.m.view.MemoNotice.Shown);
    EXPECT_TRUE(f.m.view.MemoReceive.Shown);
    EXPECT_EQ(f.m.view.MemoReceive.Raised, 1);

    CloseMemoReceive(f.m);
    EXPECT_TRUE(f.m.view.MemoReceive.Lines.empty());
    EXPECT_FALSE(f.m.view.MemoReceive.Shown);
}

TEST(PeerProtocol, MemosThatEndWhileTheNoticeIsUpShareItAndAllReachTheWindow) {
    PeerMonitor f;
    for (int i = 0; i < 1000; ++i) {
        // 200 hosts take turns: the notice names the first and counts the rest.
        const std::string host = "192.168.0." + std::to_string(i % 200 + 1);
        f.From(host, "RMonitor MemoSend Ver1.00");
        f.From(host, "memo " + std::to_string(i));
        f.From(host, "RMonitor MemoSend End");
    }
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_TRUE(f.m.view.MemoNotice.Shown);
    EXPECT_EQ(f.m.view.MemoNotice.Count, 1000);
    EXPECT_EQ(f.m.view.MemoNotice.Text, "簡易メモのデータが届きました\r\n192.168.0.1 ほか 63 台以上から簡易メモ 1000 件");
    EXPECT_EQ(f.m.view.MemoNotice.Senders.size(), MaxNoticeSenders);
    ASSERT_EQ(f.m.view.MemoReceive.Lines.size(), 5000u);
    EXPECT_EQ(f.m.view.MemoReceive.Lines[3], "memo 0");
    EXPECT_EQ(f.m.view.MemoReceive.Lines[4998], "memo 999");
    MemoNoticeClosed(f.m);
    // The next memo opens a notice of its own.
    f.From("192.168.0.5", "RMonitor MemoSend End");
    EXPECT_TRUE(f.m.view.MemoNotice.Shown);
    EXPECT_EQ(f.m.view.MemoNotice.Count, 1);
}

TEST(PeerProtocol, MemoLinesShowEveryByteAndHoldTheNewestMegabyte) {
    PeerMonitor f;
    f.From("192.168.0.5", "RMonitor MemoSend Ver1.00");
    f.From("192.168.0.5", std::string("before\0after", 12));
    EXPECT_EQ(f.m.view.MemoReceive.Lines.back(), "before\u2400after");

    const std::string line(2000, 'x');
    const int count = 2 * static_cast<int>(MaxMemoBytes / line.size());
    for (int i = 0; i < count; ++i) f.From("192.168.0.5", std::to_string(i) + line);
    const MemoReceiveView& memo = f.m.view.MemoReceive;
    EXPECT_LE(memo.Bytes, MaxMemoBytes);
    EXPECT_GT(memo.Bytes, MaxMemoBytes / 2);
    std::size_t bytes = 0;
    for (const std::string& held : memo.Lines) bytes += held.size();
    EXPECT_EQ(bytes, memo.Bytes);
    EXPECT_EQ(memo.Lines.back(), std::to_string(count - 1) + line);
    // The first line says how many went; with what is held, every line is accounted for.
    EXPECT_EQ(memo.Lines.front(), "（古いメモ " + std::to_string(memo.Dropped) + " 行を削除しました）");
    EXPECT_EQ(memo.Dropped + memo.Lines.size() - 1, static_cast<std::uint64_t>(count + 4));
    EXPECT_EQ(memo.Added, static_cast<std::uint64_t>(count + 4));
}

TEST(PeerProtocol, APeerKeepsOneDestinationHoweverManyNamesItSends) {
    PeerMonitor f;
    for (int i = 0; i < 50000; ++i) f.From("192.168.0.5", "RMonitor PC Name =name" + std::to_string(i));
    EXPECT_EQ(f.Destinations(), (std::vector<std::string>{"name49999"}));
    EXPECT_EQ(f.m.view.MemoSend.Destination, "name49999");
    for (int i = 0; i < 600; ++i) {
        f.From("10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256), "RMonitor PC Name =pc" + std::to_string(i));
    }
    EXPECT_EQ(f.Destinations().size(), 256u);
    EXPECT_EQ(f.m.s.peers.PcNames[5], "pc517");
    // A name with a NUL in it is listed whole.
    f.From("192.168.0.9", std::string("RMonitor PC Name =a\0b", 21));
    EXPECT_EQ(f.m.s.peers.PcNames[9], "a\u2400b");
}

TEST(PeerProtocol, MasterWritesATransferToItsOwnFileAndCountsIt) {
    PeerMonitor f;
    f.Master();
    f.From("192.168.0.5", "###Log Data Send### Start");
    f.From("192.168.0.5", "2.04,Port1,2003/01/02,09:05:00");
    // A record with a line break inside stays one record.
    f.From("192.168.0.5", "2.04,Port2,\r\n2003/01/03\t");
    f.From("192.168.0.5", "###Log Data Send### End");
    EXPECT_EQ(f.Received(), "2.04,Port1,2003/01/02,09:05:00\r\n2.04,Port2,2003/01/03\r\n");
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_TRUE(f.m.view.LogNotice.Shown);
    EXPECT_EQ(f.m.view.LogNotice.Text, "2件のLOGを受信しました\r\n192.168.0.5 から");
    EXPECT_FALSE(f.m.s.peers.LogReceiving);
    // A repeated End adds nothing to the box shown.
    f.From("192.168.0.5", "###Log Data Send### End");
    EXPECT_EQ(f.m.view.LogNotice.Text, "2件のLOGを受信しました\r\n192.168.0.5 から");
    // Another transfer that ends while the box is up adds its lines to the count.
    f.From("192.168.0.6", "###Log Data Send### Start");
    for (int i = 0; i < 3; ++i) f.From("192.168.0.6", "2.04,Port1," + std::to_string(i));
    f.From("192.168.0.6", "###Log Data Send### End");
    EXPECT_EQ(f.m.view.LogNotice.Text, "5件のLOGを受信しました\r\n192.168.0.5 ほか 1 台から");
    LogNoticeClosed(f.m);
    EXPECT_FALSE(f.m.view.LogNotice.Shown);
    // Without a box, an End without a Start repeats the last count.
    f.From("192.168.0.5", "###Log Data Send### End");
    EXPECT_EQ(f.m.view.LogNotice.Text, "3件のLOGを受信しました\r\n192.168.0.5 から");

    PeerMonitor other;
    other.From("192.168.0.5", "###Log Data Send### Start");
    other.From("192.168.0.5", "2.04,Port1");
    other.From("192.168.0.5", "###Log Data Send### End");
    EXPECT_FALSE(std::filesystem::exists(ReceivedHistoryFilePath(other.dir.path())));
    EXPECT_FALSE(other.m.view.LogNotice.Shown);
}

TEST(PeerProtocol, ReceivedRecordIsKeptWhileTheFileIsRefusedAndWrittenLater) {
    PeerMonitor f;
    f.Master();
    std::filesystem::remove_all(f.dir.path() / "log");
    f.From("192.168.0.5", "###Log Data Send### Start");
    f.From("192.168.0.5", "one");
    f.From("192.168.0.5", "two");
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].find("LogBackUp.csv"), std::string::npos);
    std::filesystem::create_directory(f.dir.path() / "log");
    WriteBytes(ReceivedHistoryFilePath(f.dir.path()), "cut");
    f.From("192.168.0.5", "three");
    EXPECT_EQ(f.Received(), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(ReadFile(CutLineFilePath(ReceivedHistoryFilePath(f.dir.path()))), "cut\r\n");
}

TEST(PeerProtocol, ProtocolTextsWinOverMemoLinesAndFailedReadsAreIgnored) {
    PeerMonitor f;
    f.From("192.168.0.5", "RMonitor MemoSend Ver1.00");
    f.From("192.168.0.5", "RMonitor PC Name =x");
    EXPECT_EQ(f.m.view.MemoReceive.Lines.size(), 3u);
    EXPECT_EQ(f.m.s.peers.PcNames[5], "x");
    OnPeerDatagram(f.m, -1, "", "192.168.0.5");
    OnPeerDatagram(f.m, 0, "", "192.168.0.5");
    EXPECT_EQ(f.m.view.MemoReceive.Lines.back(), "");
}

TEST(Memos, NameExchangeOpensTheWindowAndGivesTheItemBackAfter) {
    PeerMonitor f;
    f.m.view.MemoSend.Destination = "typed";
    f.m.view.MemoSend.Destinations = {"old"};
    bool enabledWhileOpen = true;
    f.dialogs.whileMemoSendOpen = [&] {
        EXPECT_TRUE(f.m.view.MemoSend.Open);
        enabledWhileOpen = f.m.view.Menu[Item::WriteMemo].Enabled;
        f.From(Me, "RMonitor PC Name");
        f.From(Me, "RMonitor PC Name =");
    };
    f.Run(MenuClick(f.m, Item::WriteMemo));
    EXPECT_EQ(f.PeerSends()[0], To("192.168.0.255", "RMonitor PC Name"));
    EXPECT_EQ(f.steps.waits, (std::vector<int>{500}));
    EXPECT_EQ(f.dialogs.memoSendShown, 1);
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(f.m.view.Menu[Item::WriteMemo].Enabled);
    EXPECT_FALSE(f.m.view.MemoSend.Open);
    EXPECT_EQ(f.Destinations(), (std::vector<std::string>{Me}));

    // A failed broadcast does not leave the item dead.
    f.net.onSend = [](const SentDatagram&) { throw std::runtime_error("send failed"); };
    EXPECT_THROW(f.Run(MenuClick(f.m, Item::WriteMemo)), std::runtime_error);
    EXPECT_TRUE(f.m.view.Menu[Item::WriteMemo].Enabled);
}

TEST(Memos, DestinationIsTheHighestPeerOfThatNameAndEmptyMeansEveryone) {
    PeerMonitor f;
    f.m.s.peers.PcNames[3] = "受付";
    f.m.s.peers.PcNames[9] = "受付";
    f.m.s.peers.PcNames[12] = "192.168.0.12";
    EXPECT_EQ(MemoDestinationIndex(f.m.s.peers, "受付"), 9);
    EXPECT_EQ(MemoDestinationIndex(f.m.s.peers, "192.168.0.12"), 12);
    EXPECT_EQ(MemoDestinationIndex(f.m.s.peers, "どこか"), 0);
    EXPECT_EQ(MemoDestinationIndex(f.m.s.peers, ""), 255);

    f.m.view.MemoSend.Open = true;
    SendMemo(f.m, "受付", "こんにちは\r\n\r\n2行目\r\n");
    EXPECT_EQ(f.PeerSends(), (std::vector<SentDatagram>{To("192.168.0.9", "RMonitor MemoSend Ver1.00"),
                                                        To("192.168.0.9", "こんにちは"), To("192.168.0.9", " "),
                                                        To("192.168.0.9", "2行目"),
                                                        To("192.168.0.9", "RMonitor MemoSend End")}));
    EXPECT_FALSE(f.m.view.MemoSend.Open);
    EXPECT_EQ(f.m.view.MemoSend.Text, "こんにちは\r\n\r\n2行目\r\n");

    f.net.sent.clear();
    SendMemo(f.m, "", "");
    EXPECT_EQ(f.PeerSends(), (std::vector<SentDatagram>{To("192.168.0.255", "RMonitor MemoSend Ver1.00"),
                                                        To("192.168.0.255", "RMonitor MemoSend End")}));
}

// Datagrams are Shift-JIS: "José" would arrive as "Jose" and "𠮷" as "??".
TEST(Memos, AMemoWithCharactersShiftJisCannotHoldIsNotSentAndTheWindowStays) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"受付", "José より", "「メモ」に、送れない文字「é」があります。"},
        {"受付", "1行目\r\n𠮷野家で", "「メモ」に、送れない文字「𠮷」があります。"},
        {"Café", "こんにちは", "「送信先」に、送れない文字「é」があります。"},
    };
    for (const auto& [destination, text, told] : cases) {
        SCOPED_TRACE(text);
        PeerMonitor f;
        f.m.s.peers.PcNames[9] = "受付";
        f.m.view.MemoSend.Open = true;
        SendMemo(f.m, destination, text);
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{told + "\rこの文字を使わずに書き直してください。メモは送っていません。"});
        EXPECT_TRUE(f.PeerSends().empty());
        EXPECT_TRUE(f.m.view.MemoSend.Open);
        EXPECT_EQ(f.m.view.MemoSend.Text, text);
        EXPECT_EQ(f.m.view.MemoSend.Destination, destination);
    }
}

TEST(Memos, LongLinesAreSplitBetweenCharactersIntoDatagramsThatFit) {
    std::string line = "a" + std::string(3000, 'x');
    for (int i = 0; i < 1100; ++i) line += "あ";
    const std::vector<std::string> lines = MemoLines(line + "\nend");
    std::string joined;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string bytes = Utf8ToCp932(lines[i]);
        EXPECT_LE(bytes.size(), 2048u);
        EXPECT_EQ(Cp932ToUtf8(bytes), lines[i]);
        joined += lines[i];
    }
    EXPECT_EQ(joined, line);
    EXPECT_EQ(lines.back(), "end");
    EXPECT_EQ(lines.size(), 4u);  // 3001 + 2200 bytes in three pieces, and "end"
    // A line of exactly a datagram goes whole.
    EXPECT_EQ(MemoLines(std::string(2048, 'z')), (std::vector<std::string>{std::string(2048, 'z')}));
    EXPECT_EQ(MemoLines(std::string(2049, 'z')).size(), 2u);
}

TEST(HistoryTransfer, SendsTheBackupLineByLineAndKeepsACopyOfWhatWasSent) {
    PeerMonitor f;
    f.m.s.peers.MasterAddress = "192.168.0.3";
    f.m.view.Menu[Item::SendHistoryLog].Visible = true;
    const std::string first = Utf8ToCp932("2.04,Port1,2003/01/02,09:05:00");
    WriteBytes(BackupHistoryFilePath(f.dir.path()), first + "\r\n\r\n2.04,Port2");
    f.Run(MenuClick(f.m, Item::SendHistoryLog));
    ASSERT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(f.dialogs.questions[0].text, "バックアップされたログファイルの転送を行います。\rよろしいですか？");
    EXPECT_EQ(f.dialogs.questions[0].caption, "Routavista Monitor");
    EXPECT_EQ(f.PeerSends(), (std::vector<SentDatagram>{To("192.168.0.3", "###Log Data Send### Start"),
                                                        {Endpoint::Peers, "192.168.0.3", first},
                                                        To("192.168.0.3", "2.04,Port2"),
                                                        To("192.168.0.3", "###Log Data Send### End")}));
    EXPECT_EQ(f.steps.waits, (std::vector<int>{100, 100}));
    EXPECT_FALSE(std::filesystem::exists(BackupHistoryFilePath(f.dir.path())));
    EXPECT_EQ(ReadFile(SentHistoryFilePath(f.dir.path())), first + "\r\n2.04,Port2\r\n");
    EXPECT_FALSE(f.m.view.Menu[Item::SendHistoryLog].Visible);
}

TEST(HistoryTransfer, EveryDatagramFitsAndNoRecordIsLost) {
    PeerMonitor f;
    f.m.s.peers.MasterAddress = "192.168.0.3";
    // Lines ended by CR alone, as some editors leave them, and one line too
    // long for a datagram with a double-byte character across the cut.
    std::string records;
    for (int i = 0; i < 300; ++i) records += "2.04,Port1,2003/01/02,09:05:" + std::to_string(10 + i % 50) + "\r";
    const std::string longLine = std::string(2047, 'x') + "\x82\xa0" + std::string(10, 'y');
    WriteBytes(BackupHistoryFilePath(f.dir.path()), records + longLine + "\r\n");
    f.Run(MenuClick(f.m, Item::SendHistoryLog));
    const std::vector<SentDatagram> sent = f.PeerSends();
    ASSERT_EQ(sent.size(), 300u + 2 + 2);
    std::string joined;
    for (std::size_t i = 1; i + 1 < sent.size(); ++i) {
        EXPECT_LE(sent[i].bytes.size(), MaxPeerDatagram);
        joined += sent[i].bytes + (i <= 300 ? "\r" : "");
    }
    EXPECT_EQ(joined, records + longLine);
    EXPECT_EQ(sent[301].bytes, std::string(2047, 'x'));
    EXPECT_EQ(sent[302].bytes, "\x82\xa0" + std::string(10, 'y'));
}

TEST(HistoryTransfer, ARepeatedStartAtACopyThatStoppedBeingMasterIsNoRecord) {
    PeerMonitor f;
    f.Master();
    f.From("192.168.0.5", "###Log Data Send### Start");
    f.From("192.168.0.5", "2.04,Port1,2003/01/02,09:05:00");
    f.m.s.settings.MasterMode = false;  // switched off in the settings mid-transfer
    f.From("192.168.0.5", "###Log Data Send### Start");
    f.From("192.168.0.5", "2.04,Port1,2003/01/03,09:05:00");
    f.From("192.168.0.5", "###Log Data Send### End");
    EXPECT_EQ(f.Received(), "2.04,Port1,2003/01/02,09:05:00\r\n2.04,Port1,2003/01/03,09:05:00\r\n");
}

TEST(HistoryTransfer, RefusedWithoutMasterWhileOnlineOrWhenNotWanted) {
    PeerMonitor f;
    WriteBytes(BackupHistoryFilePath(f.dir.path()), "r\r\n");
    f.m.view.Menu[Item::SendHistoryLog].Visible = true;
    f.dialogs.answers = {false};
    f.Run(MenuClick(f.m, Item::SendHistoryLog));
    EXPECT_TRUE(f.dialogs.messages.empty());
    f.Run(MenuClick(f.m, Item::SendHistoryLog));
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{"マスターが見つかりません"}));
    f.m.s.peers.MasterAddress = "192.168.0.3";
    f.m.s.conn.Online = true;
    f.Run(MenuClick(f.m, Item::SendHistoryLog));
    EXPECT_EQ(f.dialogs.messages.back(), "接続中は実行できません");
    EXPECT_TRUE(f.PeerSends().empty());
    EXPECT_TRUE(f.m.view.Menu[Item::SendHistoryLog].Visible);
    EXPECT_TRUE(std::filesystem::exists(BackupHistoryFilePath(f.dir.path())));

    // Nothing to send: only the item goes.
    std::filesystem::remove(BackupHistoryFilePath(f.dir.path()));
    f.m.s.conn.Online = false;
    f.Run(MenuClick(f.m, Item::SendHistoryLog));
    EXPECT_TRUE(f.PeerSends().empty());
    EXPECT_FALSE(f.m.view.Menu[Item::SendHistoryLog].Visible);
}

TEST(HistoryTransfer, BackupStaysWhenTheSentCopyCannotBeWritten) {
    PeerMonitor f;
    f.m.s.peers.MasterAddress = "192.168.0.3";
    f.m.view.Menu[Item::SendHistoryLog].Visible = true;
    WriteBytes(BackupHistoryFilePath(f.dir.path()), "r\r\n");
    std::filesystem::create_directory(SentHistoryFilePath(f.dir.path()));  // a folder in its way
    EXPECT_THROW(f.Run(MenuClick(f.m, Item::SendHistoryLog)), std::runtime_error);
    EXPECT_TRUE(std::filesystem::exists(BackupHistoryFilePath(f.dir.path())));
    EXPECT_TRUE(f.m.view.Menu[Item::SendHistoryLog].Visible);
}

}  // namespace
}  // namespace rm::test
