// Checks on the instruction text itself: its chunking, its markup structure and the facts it states.
#include "instructions/HelpText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kEndMarker = "???*???";

std::vector<std::string> SplitWords(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

// The whole token stream the page layout reads, entry after entry up to the end marker.
std::vector<std::string> AllTokens() {
    std::vector<std::string> tokens;
    for (int i = 0; i < g_helpTextEntryCount && std::strcmp(g_helpTextEntries[i], kEndMarker) != 0; ++i) {
        for (const std::string& word : SplitWords(g_helpTextEntries[i])) {
            tokens.push_back(word);
        }
    }
    return tokens;
}

std::string JoinedText() {
    std::string text;
    for (const std::string& word : AllTokens()) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

bool IsMarker(const std::string& t) {
    return t == ",," || t == ".." || t == "...";
}

struct CSection {
    std::string title;
    int items;    // numbered items
    int indented; // paragraphs opened by ":::"
};

// Heading first, then the thirteen sections in their order.
const CSection kSections[] = {
    {"Instructions For Cellwright, : Limited Version QV317", 0, 0},
    {"Introduction", 0, 4},
    {"Options", 3, 0},
    {"Rules", 14, 0},
    {"Scoring", 0, 0},
    {"Strategy", 0, 0},
    {"Option 3 -- Use Your Own Numbers.", 0, 2},
    {"Printing", 3, 0},
    {"Miscellaneous", 0, 0},
    {"Fonts", 4, 1},
    {"Sounds", 2, 0},
    {"Differences Between This And The Full Version", 6, 0},
    {"Minimum System Requirements", 7, 0},
    {"About Us", 0, 0},
};
const int kSectionCount = static_cast<int>(sizeof(kSections) / sizeof(kSections[0]));

} // namespace

TEST(HelpText, EntriesAreWholeChunksEndingWithTheMarker) {
    ASSERT_GE(g_helpTextEntryCount, 2);
    EXPECT_STREQ(g_helpTextEntries[0], "[Instructions For Cellwright, : Limited Version QV317 .. ");
    EXPECT_STREQ(g_helpTextEntries[g_helpTextEntryCount - 1], kEndMarker);
    for (int i = 0; i < g_helpTextEntryCount - 1; ++i) {
        const std::string entry = g_helpTextEntries[i];
        SCOPED_TRACE("entry " + std::to_string(i) + ": " + entry);
        EXPECT_NE(entry, kEndMarker);
        EXPECT_LT(entry.size(), 560u);
        // Only spaces separate words for the layout, and the text is drawn as 8-bit ASCII.
        for (char ch : entry) {
            EXPECT_TRUE(ch >= ' ' && ch <= '~') << "character code " << static_cast<int>(ch);
        }
        const std::vector<std::string> words = SplitWords(entry);
        ASSERT_FALSE(words.empty());
        // An entry that began or ended in the middle of a word would show it split in two.
        const std::string& first = words.front();
        EXPECT_TRUE(IsMarker(first) || std::strchr(",;.!?)", first[0]) == nullptr) << first;
        const std::string& last = words.back();
        EXPECT_TRUE(last == "--" || std::strchr("-(", last.back()) == nullptr) << last;
    }
}

TEST(HelpText, SectionsFollowInOrderWithTitlesAndClosingMarkers) {
    const std::vector<std::string> tokens = AllTokens();
    ASSERT_FALSE(tokens.empty());

    std::vector<std::string> titles;
    std::vector<bool> closesTitle(tokens.size(), false);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i][0] != '[') {
            continue;
        }
        // A title starts a line: it follows the ".." that closes the heading or the section before,
        // and that section's last paragraph is closed by ",," first.
        if (i > 0) {
            ASSERT_GE(i, 2u);
            EXPECT_EQ(tokens[i - 1], "..") << tokens[i];
            if (titles.size() >= 2) {
                EXPECT_EQ(tokens[i - 2], ",,") << tokens[i];
            }
        }
        std::string title = tokens[i].substr(1);
        size_t j = i + 1;
        for (; j < tokens.size() && tokens[j] != ".."; ++j) {
            title += " " + tokens[j];
        }
        ASSERT_LT(j, tokens.size()) << title;
        closesTitle[j] = true;
        titles.push_back(title);
    }
    ASSERT_EQ(static_cast<int>(titles.size()), kSectionCount);
    for (int s = 0; s < kSectionCount; ++s) {
        EXPECT_EQ(titles[s], kSections[s].title);
    }

    // Apart from closing a title line, ".." only ends a section: after its last ",," and before
    // the next title. Anywhere else it would open a stray gap in the middle of the text.
    for (size_t i = 1; i + 1 < tokens.size(); ++i) {
        if (tokens[i] == ".." && !closesTitle[i]) {
            EXPECT_EQ(tokens[i - 1], ",,") << "at token " << i;
            EXPECT_EQ(tokens[i + 1][0], '[') << "at token " << i;
        }
    }

    // One page break, at the very end, right after the last word of "About Us".
    EXPECT_EQ(tokens.back(), "...");
    EXPECT_FALSE(IsMarker(tokens[tokens.size() - 2]));
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        EXPECT_NE(t, "...") << "at token " << i;
        // Prose must not turn into markers by accident (an ellipsis, "Print...", ",,,").
        if (!IsMarker(t)) {
            EXPECT_EQ(t.find(".."), std::string::npos) << t;
            EXPECT_EQ(t.find(",,"), std::string::npos) << t;
        }
    }
}

TEST(HelpText, ParagraphsAndNumberedItemsHaveTheirSpacing) {
    const std::vector<std::string> tokens = AllTokens();
    int section = -1;
    std::vector<int> items(kSectionCount, 0);
    std::vector<int> indented(kSectionCount, 0);
    bool paragraphStart = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        if (t[0] == '[') {
            ++section;
            paragraphStart = false;
            continue;
        }
        if (IsMarker(t)) {
            paragraphStart = true;
            continue;
        }
        if (!paragraphStart) {
            continue;
        }
        paragraphStart = false;
        ASSERT_GE(section, 0);
        if (t[0] == ':') {
            EXPECT_EQ(t, ":::") << "paragraph indent in " << kSections[section].title;
            ++indented[section];
            continue;
        }
        const size_t digits = t.find_first_not_of("0123456789");
        if (digits == 0 || digits == std::string::npos || t.substr(digits) != ".") {
            continue;
        }
        const int number = std::stoi(t);
        ++items[section];
        EXPECT_EQ(number, items[section]) << "item numbering in " << kSections[section].title;
        ASSERT_LT(i + 2, tokens.size());
        EXPECT_EQ(tokens[i + 1], number < 10 ? "::" : ":") << "after item " << t;
        EXPECT_NE(tokens[i + 2][0], ':') << "after item " << t;
    }
    for (int s = 0; s < kSectionCount; ++s) {
        EXPECT_EQ(items[s], kSections[s].items) << kSections[s].title;
        EXPECT_EQ(indented[s], kSections[s].indented) << kSections[s].title;
    }
}

TEST(HelpText, StatesTheRulesAsThePlayerMeetsThem) {
    const std::string text = JoinedText();
    const char* const phrases[] = {
        "Cellwright is the free version of Vantorell",
        "'moderate' by most standards",
        "you can trade help for points",
        "Click on the Options menu above.",
        "\"Easy - Lots of Clues\" places between 28 and 40 numbers",
        "\"Hard - Fewer Clues\" places between 22 and 32 numbers",
        "\"Use Your Own Numbers\"",
        "WARNING",
        "20 to 35 squares",
        "right-clicking it. This costs 5 points.",
        "nine baskets below the grid",
        "arrow keys",
        "cost 1 point each",
        "The Home key fixes all the green numbers",
        "The Delete key deletes all the green numbers",
        "orange DONE button",
        "purple AGAIN button",
        "green HOME button",
        "'Input Your Own Numbers' dialog box",
        "Press F1",
        "End key",
        "Page Down and Page Up",
        "'Maximum Possible Score'",
        "at least 20 and no more than 35",
        "zeros are not allowed",
        "'Click Here To Load A Very Easy Test'",
        "somewhat similar to Vantorell's ability to load a puzzle that had been saved previously",
        "'Clear'",
        "Ctrl+P",
        "\"Lucida Console\" (the default)",
        "\"Microsoft Sans Serif\"",
        "\"Arial Bold\"",
        "\"Arial\"",
        "'brrr'",
        "foghorn",
        "swoosh",
        "5000 past players",
        "A 300MHz processor",
        "900MHz",
        "Windows 95/98/NT/2000/ME/XP/Vista",
        "1MB of free space on the : C : drive",
        "256MB of RAM",
        "Hi Color (16 bit color) with a screen size of 800x600 or greater"};
    for (const char* phrase : phrases) {
        EXPECT_NE(text.find(phrase), std::string::npos) << phrase;
    }

    // The worked examples of the scoring rule: 31 clues leave 50 empty squares, 28 leave 53.
    const char* const scoring[] = {
        "300 points for the first 46 empty squares",
        "6 points for the 47th, 12 for the 48th, 18 for the 49th",
        "6 points with only 45 empty squares, 12 more with 44, 18 more with 43",
        "31 original numbers has 50 empty squares and gives you 300 + 6 + 12 + 18 + 24 = 360 points",
        "perfect game ends with 310",
        "28 original numbers gives you 468 points",
        "perfect game keeps 415"};
    for (const char* phrase : scoring) {
        EXPECT_NE(text.find(phrase), std::string::npos) << phrase;
    }

    // The maker's lines point only at reserved example domains.
    EXPECT_NE(text.find("example.com"), std::string::npos);
    for (const std::string& word : AllTokens()) {
        if (word.find('@') != std::string::npos || word.find("www.") != std::string::npos) {
            EXPECT_TRUE(word.find("example.com") != std::string::npos ||
                        word.find("example.org") != std::string::npos)
                << word;
        }
    }
}
