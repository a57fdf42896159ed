// Differential test: our text-mode stream and header scanner against the Windows runtime's own fopen(path, "r")
// + fgetc/feof and fscanf, taken from msvcrt.dll itself (the compiler's headers would route fscanf elsewhere).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/TextStream.h"
#include "win_test_util.h"

namespace {

// Random bytes of everything the rules care about, or SubRip headers with random numbers (some beyond 32 bits),
// blanks and line ends, mutated or not; now and then behind padding that puts CR, LF or Ctrl-Z on the runtime's
// 4 KiB or our 64 KiB buffer boundary.
std::string Generate(std::mt19937& rnd, int i) {
    static const std::string kAlphabet = std::string("0123456789  \t\t\r\r\n\n\n\x1A:::,,--->>+.\v\fxZ\xFF") + '\0';
    static const char* const kBlanks[] = {"", " ", "\t", "\r\n", "\n", "\n\n", " \r\n\r\n ", "\r"};
    auto any = [&] { return kAlphabet[rnd() % kAlphabet.size()]; };
    auto blank = [&] { return std::string(kBlanks[rnd() % 8]); };
    auto number = [&] {
        std::string s = rnd() % 3 ? "" : rnd() % 2 ? "-" : "+";
        for (int n = 1 + static_cast<int>(rnd() % (rnd() % 10 ? 9 : 25)); n > 0; --n)
            s += static_cast<char>('0' + rnd() % 10);
        return s;
    };
    auto time = [&] { return number() + ":" + number() + ":" + number() + "," + number(); };
    std::string s;
    for (size_t n = i % 3 ? 0 : rnd() % 24; n > 0; --n) s += any();
    for (int headers = i % 3 ? 1 + (rnd() % 5 == 0) : 0; headers > 0; --headers)
        s += blank() + number() + blank() + "\n" + blank() + time() + blank() + "-->" + blank() + time() + blank() +
             "\n" + blank();
    for (int edits = i % 3 == 2 ? 1 + rnd() % 3 : 0; edits > 0 && !s.empty(); --edits)
        s.insert(rnd() % s.size(), 1, any()).erase(rnd() % s.size(), rnd() % 2);  // insert, replace or remove
    if (i % 3)
        s += std::string("\0Text\r\n\r\nHello\n\x1A" "1\n-", 19).substr(rnd() % 19);  // what may follow
    const size_t boundaries[] = {4096, 8192, CTextStream::kBufferSize};
    if (i % 100 == 0)
        s = std::string(boundaries[rnd() % 3] - 3 + rnd() % 4, 'a') + "\r\n\r\x1A"[rnd() % 4] + s;
    return s;
}

// Reads by a plan (scan a header, read `between` characters, scan again; or no scans), then to the end and once
// past it, recording every value and flag. scanAt receives where the scans' return values stand.
template <typename Getc, typename Eof, typename Scan>
std::vector<int> Trace(Getc getc, Eof eof, Scan scan, bool scans, int between, std::vector<size_t>& scanAt) {
    std::vector<int> t{eof()};
    for (int pass = scans ? 0 : 2; pass < 2; ++pass) {
        int32_t f[kHeaderFields];
        std::fill(f, f + kHeaderFields, 0x5A5A5A5A);
        scanAt.push_back(t.size());
        t.push_back(scan(f)), t.insert(t.end(), f, f + kHeaderFields), t.push_back(eof());
        for (int n = pass ? 0 : between; n > 0; --n)
            t.insert(t.end(), {getc(), eof()});
    }
    for (int c = 0, n = 0; c != EOF && n < 1 << 20; ++n)
        t.insert(t.end(), {c = getc(), eof()});
    return t.insert(t.end(), {getc(), eof()}), t;
}

using RuntimeDiff = TempFolderTest;

TEST_F(RuntimeDiff, StreamAndScannerMatchTheWindowsRuntime) {
    HMODULE dll = LoadLibraryA("msvcrt.dll");
    auto fn = [dll](const char* name) { return reinterpret_cast<void (*)()>(GetProcAddress(dll, name)); };
    using FileFn = int(__cdecl*)(void*);
    const auto rtOpen = reinterpret_cast<void*(__cdecl*)(const char*, const char*)>(fn("fopen"));
    const auto rtGetc = reinterpret_cast<FileFn>(fn("fgetc")), rtEof = reinterpret_cast<FileFn>(fn("feof"));
    const auto rtClose = reinterpret_cast<FileFn>(fn("fclose"));
    const auto rtScan = reinterpret_cast<int(__cdecl*)(void*, const char*, ...)>(fn("fscanf"));
    ASSERT_TRUE(dll && rtOpen && rtGetc && rtEof && rtClose && rtScan);
    std::mt19937 rnd(20240601);
    int blankThenEnd = 0;
    for (int i = 0; i < 6000; ++i) {
        const std::string bytes = Generate(rnd, i);
        const bool scans = rnd() % 8 != 0;
        const int between = static_cast<int>(rnd() % 3);
        WriteBytes("diff.txt", bytes);
        std::vector<size_t> theirScans, ourScans;
        void* fp = rtOpen("diff.txt", "r");
        auto in = CTextStream::Open("diff.txt");
        ASSERT_TRUE(fp && in);
        std::vector<int> theirs = Trace([&] { return rtGetc(fp); }, [&] { return rtEof(fp) != 0; }, [&](int32_t* f) {
            return rtScan(fp, "%d\n%d:%d:%d,%d --> %d:%d:%d,%d\n", f, f + 1, f + 2, f + 3, f + 4, f + 5, f + 6, f + 7,
                          f + 8);
        }, scans, between, theirScans);
        rtClose(fp);
        const std::vector<int> ours = Trace([&] { return in->Getc(); }, [&] { return in->Eof(); }, [&](int32_t* f) {
            int32_t* const to[] = {f, f + 1, f + 2, f + 3, f + 4, f + 5, f + 6, f + 7, f + 8};
            return ScanHeader(*in, to);
        }, scans, between, ourScans);
        // The one known difference: input that ends after white space, before the first number, gives EOF by the
        // C rule and 0 from this runtime. Nothing is assigned either way; the reader ignores the count.
        for (size_t at : ourScans)
            if (theirScans == ourScans && ours[at] == EOF && theirs[at] == 0)
                theirs[at] = EOF, ++blankThenEnd;
        ASSERT_EQ(theirs, ours) << "first difference at event "
            << std::mismatch(theirs.begin(), theirs.end(), ours.begin(), ours.end()).first - theirs.begin()
            << ", scans=" << scans << " between=" << between << " input (last 300 bytes) "
            << testing::PrintToString(bytes.substr(bytes.size() > 300 ? bytes.size() - 300 : 0));
    }
    EXPECT_GT(blankThenEnd, 0) << "the excluded case was generated";
}

}  // namespace
