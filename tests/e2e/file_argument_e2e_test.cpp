// Kelvane started as Explorer's "Open with" starts it: the path in quotes, blanks inside.
#include "Harness.h"

namespace e2e {

using FileArgumentTest = KelvaneTest;

TEST_F(FileArgumentTest, QuotedPathFillsTheFileField) {
    const std::wstring film = folder.FilePath(L"a film.srt");
    folder.Write(L"a film.srt", {'1'});
    Launch(L"\"" + film + L"\"");
    EXPECT_EQ(ItemText(panel, IDC_FILE), film);
}

}  // namespace e2e
