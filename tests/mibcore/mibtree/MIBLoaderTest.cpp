// The module scanner on real files: what it accepts, the quirks it keeps,
// the operator's missing-parent question, and input that must not hurt it.

#include "TreeFixture.h"

#include "mibcore/Version.h"

#include <random>

using namespace mibtest;

namespace {

// org .. mgmt, mib-2 and interfaces, in the accepted syntax.
const char* const kBase =
    "BASE DEFINITIONS ::= BEGIN\n"
    "org OBJECT IDENTIFIER ::= { iso 3 }\n"
    "dod OBJECT IDENTIFIER ::= { org 6 }\n"
    "internet OBJECT IDENTIFIER ::= { dod 1 }\n"
    "mgmt OBJECT IDENTIFIER ::= { internet 2 }\n"
    "mib-2 OBJECT IDENTIFIER ::= { mgmt 1 }\n"
    "interfaces OBJECT IDENTIFIER ::= { mib-2 2 }\n"
    "END\n";

class MibLoaderTest : public MibTreeTest {
protected:
    void SetUp() override
    {
        MibTreeTest::SetUp();
        InitRootsOnly();
        ASSERT_EQ(LoadText(dir, kBase, 0, "base.mib"), 1);
    }
    std::string PathOf(const std::string& name)
    {
        std::string s;
        return MIBTree::gettop()->GetAllString(s, name) ? s : "";
    }
};

}  // namespace

TEST_F(MibLoaderTest, AcceptedDefinitionsAttachUnderTheirParents)
{
    EXPECT_EQ(PathOf("mib-2"), "iso.org.dod.internet.mgmt.mib-2");  // OBJECT IDENTIFIER joined
    EXPECT_EQ(NumericPath(MIBTree::gettop()->Find("interfaces")), "1.3.6.1.2.1.2");

    const char* text =
        "ifTable OBJECT-TYPE\n"
        "    SYNTAX  SEQUENCE OF IfEntry\n"
        "    ACCESS  not-accessible\n"
        "    STATUS  mandatory\n"
        "    DESCRIPTION\n"
        "            \"A list of interface entries.\"\n"
        "    ::= { interfaces 2 }\n"
        "ifEntry OBJECT-TYPE SYNTAX IfEntry INDEX { ifIndex } ::= { ifTable 1 }\n"
        "ifType OBJECT-TYPE\n"
        "    SYNTAX  INTEGER {\n"
        "                other(1), ethernet-csmacd(6)\n"
        "            }\n"
        "    ::= { ifEntry 3 }\n"
        "IfEntry ::=\n"
        "    SEQUENCE {\n"
        "        ifIndex INTEGER, ifDescr DisplayString\n"
        "    }\n"
        "DisplayString ::= OCTET STRING { x 9 }\n"
        "-- commented OBJECT IDENTIFIER ::= { mgmt 5 }\n"
        "ifGroup OBJECT-GROUP OBJECTS { ifIndex,\n ifType }\n  STATUS current\n ::= { mib-2 31 }\n"
        "ifCompl MODULE-COMPLIANCE STATUS current MODULE MANDATORY-GROUPS { ifGroup }\n ::= { mib-2 32 }\n"
        "linkDown NOTIFICATION-TYPE OBJECTS { ifIndex } STATUS current ::= { mib-2 33 }\n"
        "tabbed\tOBJECT\tIDENTIFIER\t::=\t{\tmgmt\t7\t}\r\n"
        "crlf OBJECT IDENTIFIER ::= { mgmt 8 }\r\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NumericPath(top->Find("ifTable")), "1.3.6.1.2.1.2.2");
    EXPECT_EQ(NumericPath(top->Find("ifEntry")), "1.3.6.1.2.1.2.2.1");
    EXPECT_EQ(NumericPath(top->Find("ifType")), "1.3.6.1.2.1.2.2.1.3");
    EXPECT_EQ(NumericPath(top->Find("ifGroup")), "1.3.6.1.2.1.31");
    EXPECT_EQ(NumericPath(top->Find("ifCompl")), "1.3.6.1.2.1.32");
    EXPECT_EQ(NumericPath(top->Find("linkDown")), "1.3.6.1.2.1.33");
    EXPECT_EQ(NumericPath(top->Find("tabbed")), "1.3.6.1.2.7");
    EXPECT_EQ(NumericPath(top->Find("crlf")), "1.3.6.1.2.8");
    // Type assignments, comments and enumerations create nothing.
    for (const char* none : {"IfEntry", "DisplayString", "commented", "ifIndex", "other", "x", "--"})
        EXPECT_EQ(top->Find(none), nullptr) << none;
    EXPECT_EQ(NodeAt("1.3.6.1.2.5"), nullptr);
}

TEST_F(MibLoaderTest, ScannerQuirksAreKept)
{
    const char* text =
        // only the rest of the "{" line is the value list
        "split OBJECT IDENTIFIER ::= { mgmt 12\n"
        "    }\n"
        // braces inside a DESCRIPTION do not end the definition
        "braced OBJECT-TYPE\n"
        "    DESCRIPTION \"a { nested } text }\"\n"
        "    ::= { mgmt 13 }\n"
        // a free-standing ::= inside a DESCRIPTION does start the value
        "early OBJECT-TYPE\n"
        "    DESCRIPTION \"see ::= { mgmt 14 } here\"\n"
        "    ::= { mgmt 15 }\n"
        // the value { 0 0 } (a one-character parent) is ignored
        "zeroDotZero OBJECT-IDENTITY STATUS current ::= { 0 0 }\n"
        // a name ending in ";" is no definition
        "semi; OBJECT IDENTIFIER ::= { mgmt 16 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NumericPath(top->Find("split")), "1.3.6.1.2.12");
    EXPECT_EQ(NumericPath(top->Find("braced")), "1.3.6.1.2.13");
    EXPECT_EQ(NumericPath(top->Find("early")), "1.3.6.1.2.14");
    EXPECT_EQ(NodeAt("1.3.6.1.2.15"), nullptr);
    EXPECT_EQ(top->Find("zeroDotZero"), nullptr);
    EXPECT_EQ(NodeAt("1.3.6.1.2.16"), nullptr);

    // 0xFF ends the scan like the end of the file.
    EXPECT_EQ(LoadText(dir, "before OBJECT IDENTIFIER ::= { mgmt 20 }\n\xff\nafter OBJECT IDENTIFIER ::= { mgmt 21 }\n"),
              1);
    EXPECT_NE(top->Find("before"), nullptr);
    EXPECT_EQ(top->Find("after"), nullptr);
}

TEST_F(MibLoaderTest, StrayTextNeverHandsAValueToTheWrongName)
{
    const char* text =
        // "::={" is "::= {" without the space; the next definition is read
        // normally afterwards.
        "glued OBJECT IDENTIFIER ::={ mgmt 30 }\n"
        "next1 OBJECT IDENTIFIER ::= { mgmt 31 }\n"
        // a brace group after a name and a non-keyword (state 1) belongs to
        // nothing; the definition right after it still loads
        "stray ::= { mgmt 32 }\n"
        "next2 OBJECT IDENTIFIER ::= { mgmt 33 }\n"
        // a macro named like a definition keyword, right after the END of
        // another macro, is no definition and takes no later value
        "A MACRO ::=\nBEGIN\n    TYPE NOTATION ::= \"X\"\nEND\n\n"
        "OBJECT-IDENTITY MACRO ::=\nBEGIN\n    TYPE NOTATION ::= \"STATUS\" Status\n"
        "    VALUE NOTATION ::= value(VALUE OBJECT IDENTIFIER)\nEND\n"
        "-- (a lone word like END leaves the scanner expecting a keyword)\n"
        "next3 OBJECT IDENTIFIER ::= { mgmt 34 }\n";
    ScriptedOperator op;
    int show = 1;
    EXPECT_EQ(LoadText(dir, text, show), 1);
    EXPECT_TRUE(op.asked.empty());
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NumericPath(top->Find("glued")), "1.3.6.1.2.30");
    EXPECT_EQ(NumericPath(top->Find("next1")), "1.3.6.1.2.31");
    EXPECT_EQ(NodeAt("1.3.6.1.2.32"), nullptr);
    EXPECT_EQ(NumericPath(top->Find("next2")), "1.3.6.1.2.33");
    EXPECT_EQ(top->Find("END"), nullptr);
    EXPECT_EQ(NumericPath(top->Find("next3")), "1.3.6.1.2.34");
}

TEST_F(MibLoaderTest, FirstDefinitionOfAnArcWinsAndLoadingTwiceAddsNothing)
{
    const char* text =
        "first OBJECT IDENTIFIER ::= { mgmt 40 }\n"
        "second OBJECT IDENTIFIER ::= { mgmt 40 }\n"
        "child OBJECT IDENTIFIER ::= { first 1 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    EXPECT_EQ(NodeAt("1.3.6.1.2.40")->getname(), "first");
    EXPECT_EQ(MIBTree::gettop()->Find("second"), nullptr);
    int before = CountNodes(MIBTree::gettop());
    EXPECT_EQ(LoadText(dir, text), 1);
    EXPECT_EQ(LoadText(dir, kBase, 0, "base.mib"), 1);
    EXPECT_EQ(CountNodes(MIBTree::gettop()), before);
}

TEST_F(MibLoaderTest, ValueListsWithNameAndNumberPairsBuildTheirPath)
{
    const char* text =
        // existing org(3) dod(6) are reused, new arcs are created
        "deep OBJECT IDENTIFIER ::= { iso org(3) dod(6) internet(1) private(4) 1 }\n"
        "acme OBJECT IDENTIFIER ::= { iso org(3) dod(6) internet(1) private(4) enterprises(1) 4242 }\n"
        // the pairs' numbers decide the place even under another name
        "alias OBJECT IDENTIFIER ::= { iso org(3) otherName(6) 99 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NumericPath(top->Find("deep")), "1.3.6.1.4.1");
    EXPECT_EQ(NumericPath(top->Find("private")), "1.3.6.1.4");
    EXPECT_EQ(NumericPath(top->Find("acme")), "1.3.6.1.4.1.4242");
    EXPECT_EQ(NumericPath(top->Find("alias")), "1.3.6.99");
    EXPECT_EQ(top->Find("enterprises"), nullptr);  // refused: deep holds 1.3.6.1.4.1
    EXPECT_EQ(top->Find("otherName"), nullptr);
    EXPECT_EQ(NodeAt("1.3.6")->getname(), "dod");
}

TEST_F(MibLoaderTest, MissingParentsAskTheOperatorUntilTheyDecline)
{
    const std::string text =
        "lost1 OBJECT IDENTIFIER ::= { nowhere 1 }\n"
        "found OBJECT IDENTIFIER ::= { mgmt 50 }\n"
        "lost2 OBJECT IDENTIFIER ::= { nowhere 2 }\n"
        "lost3 OBJECT IDENTIFIER ::= { nowhere 3 }\n";
    std::string path = dir.Write("lost.mib", text);

    {
        // Without show-errors: result 0, no question.
        ScriptedOperator op;
        int show = 0;
        EXPECT_EQ(MIBTree::LoadMIBTree(path, show), 0);
        EXPECT_TRUE(op.asked.empty());
        EXPECT_EQ(show, 0);
        EXPECT_NE(MIBTree::gettop()->Find("found"), nullptr);
        EXPECT_EQ(MIBTree::gettop()->Find("lost1"), nullptr);
    }
    {
        // Yes keeps asking; No stops for the rest and tells the caller.
        ScriptedOperator op({platform::IDYES, platform::IDNO});
        int show = 1;
        EXPECT_EQ(MIBTree::LoadMIBTree(path, show), 0);
        ASSERT_EQ(op.asked.size(), 2u);
        EXPECT_EQ(show, 0);
        EXPECT_EQ(op.asked[0].type, platform::MB_YESNO | platform::MB_ICONQUESTION);
        EXPECT_EQ(op.asked[0].text,
                  "親MIBオブジェクト[nowhere]が見つからなかったのでMIBオブジェクト[lost1]を追加できませんでした。\n"
                  "問題のMIBオブジェクトは、" + path + "にあります。\n"
                  "ファイルの中身に問題がなければ、" + std::string(quillon::kContactAddress) +
                  "までお問い合わせください。\n"
                  "この後、発生するエラーも表示しますか？");
        EXPECT_NE(op.asked[1].text.find("[lost2]"), std::string::npos);
    }
    {
        // Malformed value lists count as a missing parent.
        ScriptedOperator op;
        int show = 1;
        EXPECT_EQ(LoadText(dir,
                           "a1 OBJECT IDENTIFIER ::= { mgmt }\n"
                           "a2 OBJECT IDENTIFIER ::= { mgmt x }\n"
                           "a3 OBJECT IDENTIFIER ::= { mgmt 1 x }\n"
                           "a4 OBJECT IDENTIFIER ::= { unknownStart org(3) 5 }\n"
                           "a5 OBJECT IDENTIFIER ::= { iso org(x) 5 }\n"
                           "a6 OBJECT IDENTIFIER ::= { mgmt 4294967296 }\n"
                           "a7 OBJECT IDENTIFIER ::= { }\n"
                           "a8 OBJECT IDENTIFIER ::= { mgmt\n 9\n {\n",
                           show),
                  0);
        EXPECT_EQ(op.asked.size(), 8u);
        for (const char* n : {"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8"})
            EXPECT_EQ(MIBTree::gettop()->Find(n), nullptr) << n;
        EXPECT_EQ(MIBTree::gettop()->Find("x"), nullptr);  // no half-built path
        EXPECT_NE(op.asked[3].text.find("[unknownStart]"), std::string::npos);
    }
    // Unreadable paths fail quietly: a missing file, a directory.
    ScriptedOperator quiet;
    int show = 1;
    EXPECT_EQ(MIBTree::LoadMIBTree((dir.path() / "no-such.mib").string(), show), 0);
    EXPECT_EQ(MIBTree::LoadMIBTree(dir.path().string(), show), 0);
    EXPECT_EQ(show, 1);
    EXPECT_TRUE(quiet.asked.empty());
}

TEST_F(MibLoaderTest, HostileInputIsCutOrIgnoredButNeverOverflows)
{
    // An over-long name is cut at 255 characters.
    std::string longName(300, 'n');
    EXPECT_EQ(LoadText(dir, longName + " OBJECT IDENTIFIER ::= { mgmt 60 }\n"), 1);
    ASSERT_NE(NodeAt("1.3.6.1.2.60"), nullptr);
    EXPECT_EQ(NodeAt("1.3.6.1.2.60")->getname(), std::string(255, 'n'));

    // Over-long keyword, body token and value line.
    std::string text = "kw " + std::string(5000, 'K') + " x\n";
    text += "body OBJECT-TYPE SYNTAX " + std::string(5000, 'B') + " ::= { mgmt 61 }\n";
    text += "wide OBJECT IDENTIFIER ::= { mgmt 62 " + std::string(4000, ' ') + "}\n";
    text += "-- " + std::string(10000, 'c') + " OBJECT IDENTIFIER ::= { mgmt 63 }\n";
    text += "later OBJECT IDENTIFIER ::= { mgmt 64 }\n";
    LoadText(dir, text);
    EXPECT_NE(NodeAt("1.3.6.1.2.61"), nullptr);
    EXPECT_NE(NodeAt("1.3.6.1.2.62"), nullptr);
    EXPECT_EQ(NodeAt("1.3.6.1.2.64")->getname(), "later");

    // NUL bytes are ordinary characters of a token.
    std::string nul = std::string("nu\0l", 4) + " OBJECT IDENTIFIER ::= { mgmt 65 }\n";
    EXPECT_EQ(LoadText(dir, nul), 1);
    ASSERT_NE(NodeAt("1.3.6.1.2.65"), nullptr);
    EXPECT_EQ(NodeAt("1.3.6.1.2.65")->getname(), std::string("nu\0l", 4));

    // Random bytes, and random module-like fragments: any result, no harm.
    std::mt19937 rng(4711);
    const char* pieces[] = {"OBJECT", "IDENTIFIER", "OBJECT-TYPE", "::=", "{", "}", "mgmt", "iso",
                            "(", ")", "--", "DESCRIPTION", "\"", ";", "\n", " ", "\t", "7", "x",
                            "IMPORTS", "::={", "--x", "\"a"};
    for (int round = 0; round < 20; ++round) {
        std::string bytes;
        for (int k = 0; k < 20000; ++k)
            bytes += static_cast<char>(rng() % 255);  // 0xFF would end the scan early
        std::string frag;
        for (int k = 0; k < 5000; ++k) {
            frag += pieces[rng() % (sizeof pieces / sizeof *pieces)];
            frag += ' ';
        }
        LoadText(dir, bytes, 0, "bin.mib");
        LoadText(dir, frag, 0, "frag.mib");
    }
    EXPECT_EQ(NodeAt("1.3.6.1.2.1")->getname(), "mib-2");
}

TEST_F(MibLoaderTest, HugeModulesLoad)
{
    // 30000 definitions, each below the previous one and a long brother list.
    std::string text;
    text.reserve(2u << 20);
    std::string parent = "mgmt";
    for (int k = 0; k < 30000; ++k) {
        std::string name = "n" + std::to_string(k);
        text += name + " OBJECT IDENTIFIER ::= { " + parent + (k ? " 1 }\n" : " 9 }\n");
        text += "w" + std::to_string(k) + " OBJECT IDENTIFIER ::= { mib-2 " + std::to_string(k + 100) + " }\n";
        parent = name;
    }
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* last = MIBTree::gettop()->Find("n29999");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(NumericPath(last).size(), std::string("1.3.6.1.2").size() + 2 * 30000);
    EXPECT_EQ(MIBTree::gettop()->Find("mib-2")->getchild()->gettail()->getname(), "w29999");
}

// Modules as vendors write them: one short module per construct.

TEST_F(MibLoaderTest, ImportListsCreateNothing)
{
    const char* text =
        "VENDOR-MIB DEFINITIONS ::= BEGIN\n"
        "IMPORTS\n"
        "    MODULE-IDENTITY, Integer32\n"
        "    Counter32, OBJECT-TYPE        -- counters; and objects\n"
        "    Gauge32, OBJECT-GROUP         -- groups\n"
        "        FROM SNMPv2-SMI\n"
        "    DisplayString FROM SNMPv2-TC;\n"
        "vendorMib MODULE-IDENTITY\n"
        "    LAST-UPDATED \"202001010000Z\"\n"
        "    DESCRIPTION \"x\"\n"
        "    ::= { mgmt 70 }\n"
        "vendorObj OBJECT IDENTIFIER ::= { vendorMib 1 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NumericPath(top->Find("vendorMib")), "1.3.6.1.2.70");
    EXPECT_EQ(NumericPath(top->Find("vendorObj")), "1.3.6.1.2.70.1");
    for (const char* none : {"IMPORTS", "MODULE-IDENTITY,", "Counter32,", "Gauge32,", "DisplayString"})
        EXPECT_EQ(top->Find(none), nullptr) << none;
    EXPECT_EQ(NameAt("1.3.6.1.2.71"), "");
}

TEST_F(MibLoaderTest, EveryWordStartingWithTwoDashesIsAComment)
{
    const char* text =
        "--------------------------------------------------\n"
        "--**** objects ****  old OBJECT IDENTIFIER ::= { mgmt 71 }\n"
        "--oldObj OBJECT-TYPE\n"
        "--    SYNTAX INTEGER\n"
        "--    ::= { mgmt 72 }\n"
        "newObj OBJECT IDENTIFIER ::= { mgmt 73 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    EXPECT_EQ(NodeAt("1.3.6.1.2.71"), nullptr);
    EXPECT_EQ(NodeAt("1.3.6.1.2.72"), nullptr);
    EXPECT_EQ(MIBTree::gettop()->Find("--oldObj"), nullptr);
    EXPECT_EQ(NumericPath(MIBTree::gettop()->Find("newObj")), "1.3.6.1.2.73");
}

TEST_F(MibLoaderTest, ValueListsContinueOnTheNextLines)
{
    const char* text =
        "multi OBJECT IDENTIFIER ::= { mgmt  -- the parent\n"
        "    74 }\n"
        "spread OBJECT-TYPE\n"
        "    SYNTAX INTEGER\n"
        "    ::= {\n"
        "        mib-2\n"
        "        -- the arc:\n"
        "        75\n"
        "    }\n"
        "after OBJECT IDENTIFIER ::= { mgmt 76 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NumericPath(top->Find("multi")), "1.3.6.1.2.74");
    EXPECT_EQ(NumericPath(top->Find("spread")), "1.3.6.1.2.1.75");
    EXPECT_EQ(NumericPath(top->Find("after")), "1.3.6.1.2.76");

    // Never across another value or definition, nor beyond four lines.
    ScriptedOperator op;
    int show = 1;
    EXPECT_EQ(LoadText(dir,
                       "open OBJECT IDENTIFIER ::= { mgmt\n"
                       "next OBJECT IDENTIFIER ::= { mgmt 77 }\n"
                       "long OBJECT IDENTIFIER ::= { mgmt\n\n\n\n\n 78 }\n",
                       show),
              0);
    EXPECT_EQ(op.asked.size(), 2u);
    EXPECT_EQ(NumericPath(top->Find("next")), "1.3.6.1.2.77");
    EXPECT_EQ(top->Find("open"), nullptr);
    EXPECT_EQ(top->Find("long"), nullptr);
}

TEST_F(MibLoaderTest, QuotedTextIsNeverReadAsDefinitions)
{
    const char* text =
        "Status ::= TEXTUAL-CONVENTION\n"
        "    STATUS current\n"
        "    DESCRIPTION\n"
        "        \"A row is created with\n"
        "        rowObj OBJECT-TYPE\n"
        "        and its value ::= { mgmt 80 }\"\n"
        "    SYNTAX INTEGER\n"
        "fooTrap TRAP-TYPE\n"
        "    ENTERPRISE mgmt\n"
        "    DESCRIPTION \"Sent when\n"
        "       phantom OBJECT IDENTIFIER ::= { mgmt 81 } is seen\"\n"
        "    ::= 3\n"
        "real OBJECT IDENTIFIER ::= { mgmt 82 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NodeAt("1.3.6.1.2.80"), nullptr);
    EXPECT_EQ(NodeAt("1.3.6.1.2.81"), nullptr);
    EXPECT_EQ(NumericPath(top->Find("real")), "1.3.6.1.2.82");
}

TEST_F(MibLoaderTest, NumbersAfterTheParentWalkThroughIntermediateNodes)
{
    const char* text =
        "deep OBJECT IDENTIFIER ::= { mgmt 85 3 }\n"
        "deeper OBJECT IDENTIFIER ::= { mgmt 85 4 1 }\n"
        "viaExisting OBJECT IDENTIFIER ::= { mgmt 1 2 7 }\n";
    EXPECT_EQ(LoadText(dir, text), 1);
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NumericPath(top->Find("deep")), "1.3.6.1.2.85.3");
    EXPECT_EQ(NameAt("1.3.6.1.2.85"), "85");
    EXPECT_EQ(NameAt("1.3.6.1.2.85.4"), "4");
    EXPECT_EQ(NumericPath(top->Find("deeper")), "1.3.6.1.2.85.4.1");
    // Existing nodes on the way keep their names.
    EXPECT_EQ(NumericPath(top->Find("viaExisting")), "1.3.6.1.2.1.2.7");
    EXPECT_EQ(NameAt("1.3.6.1.2.1.2"), "interfaces");
}

TEST_F(MibLoaderTest, AModuleFindsItsOwnNamesFirst)
{
    // A standard module and a vendor module that reuses its table names;
    // the vendor module also waits for a parent from a later module, so
    // it loads again in a retry pass.
    dir.Write("m/a-std.mib",
              "pingCtlTable OBJECT IDENTIFIER ::= { mib-2 80 }\n"
              "pingCtlEntry OBJECT IDENTIFIER ::= { pingCtlTable 1 }\n"
              "pingCtlOwner OBJECT IDENTIFIER ::= { pingCtlEntry 1 }\n");
    dir.Write("m/b-vendor.mib",
              "zyPing OBJECT IDENTIFIER ::= { mgmt 91 }\n"
              "pingCtlTable OBJECT IDENTIFIER ::= { zyPing 1 }\n"
              "pingCtlEntry OBJECT IDENTIFIER ::= { pingCtlTable 1 }\n"
              "zyCol OBJECT IDENTIFIER ::= { pingCtlEntry 5 }\n"
              "zyLate OBJECT IDENTIFIER ::= { laterParent 1 }\n");
    dir.Write("m/c-later.mib", "laterParent OBJECT IDENTIFIER ::= { mgmt 92 }\n");
    EXPECT_TRUE(LoadModules(ModuleFiles(dir.path() / "m")).empty());
    MIBTree* top = MIBTree::gettop();
    EXPECT_EQ(NameAt("1.3.6.1.2.91.1.1.5"), "zyCol");
    EXPECT_EQ(NameAt("1.3.6.1.2.1.80.1.5"), "");  // nothing of the vendor module
    EXPECT_EQ(NumericPath(top->Find("pingCtlEntry")), "1.3.6.1.2.1.80.1");
    EXPECT_EQ(NumericPath(top->Find("zyLate")), "1.3.6.1.2.92.1");
}

TEST_F(MibLoaderTest, ARetryReadsWhatTheFileHoldsNow)
{
    // A failed module is kept for the retry passes, but a file changed on
    // disk in the meantime (same size, same second) is read anew.
    EXPECT_EQ(LoadText(dir, "fresh OBJECT IDENTIFIER ::= { nope 95 }\n", 0, "r.mib"), 0);
    EXPECT_EQ(LoadText(dir, "fresh OBJECT IDENTIFIER ::= { mgmt 95 }\n", 0, "r.mib"), 1);
    EXPECT_EQ(NumericPath(MIBTree::gettop()->Find("fresh")), "1.3.6.1.2.95");
}
