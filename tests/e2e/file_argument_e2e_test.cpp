// Kelvane started with a file, as Explorer's "Open with" starts it: the path in quotes, blanks inside.
#include "Harness.h"

namespace e2e {
namespace {

using FileArgumentTest = KelvaneTest;

TEST_F(FileArgumentTest, QuotedPathFillsTheFileFieldOverTheSavedRecord) {
    Launch();
    SetItemText(panel, IDC_DELAY, L"1500");
    SetItemText(panel, IDC_FILE, L"old.srt");
    ExitAndWait();
    const std::wstring film = folder.FilePath(L"a film.srt");
    folder.Write(L"a film.srt", {'1', '\n'});
    Launch(L"\"" + film + L"\"");
    EXPECT_EQ(ItemText(panel, IDC_FILE), film);
    EXPECT_EQ(ItemText(panel, IDC_DELAY), L"1500") << "the rest of the record as saved";
    ExitAndWait();
    EXPECT_EQ(Saved().file, Narrow(film));
}

}  // namespace
}  // namespace e2e
