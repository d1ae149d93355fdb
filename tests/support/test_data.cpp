// test_data.cpp - the seeded generators of text, executable-like, run-length and random data.
#include "tests/support/test_data.h"

#include <cstring>
#include <string>

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kWords[] = {
    "the",       "of",        "and",     "to",        "a",        "in",        "is",
    "that",      "for",       "it",      "as",        "with",     "be",        "on",
    "not",       "this",      "by",      "are",       "or",       "from",      "at",
    "which",     "an",        "file",    "files",     "document", "documents", "convert",
    "converter", "format",    "formats", "page",      "pages",    "text",      "table",
    "tables",    "setup",     "install", "directory", "program",  "programs",  "version",
    "windows",   "option",    "options", "module",    "modules",  "developer", "library",
    "function",  "returns",   "value",   "error",     "printer",  "font",      "fonts",
    "style",     "paragraph", "heading", "image",     "images",   "output",    "input",
    "when",      "each",      "will",    "can",       "must",     "may",       "if",
    "then",      "all",       "any",     "one",       "two",      "more",      "than",
    "into",      "use",       "used",    "using",     "see",      "also",      "section",
    "chapter",   "example",   "number",  "name",      "names",    "new",       "old",
    "size",      "data",      "list",    "item",      "items",    "user",      "users",
    "menu",      "dialog",    "button",  "click",     "select",   "choose",    "open",
    "save",      "close",     "print",   "preview",   "margin",   "column",    "row",
};
constexpr uint32_t kWordCount = sizeof kWords / sizeof kWords[0];

// Skewed towards the front of the list, as word frequencies are.
const char* PickWord(TestRandom& random) {
    return kWords[random.Below(random.Below(kWordCount) + 1)];
}

void AppendText(Bytes& out, size_t size, TestRandom& random) {
    size_t lineStart = out.size();
    while (out.size() < size) {
        uint32_t words = 4 + random.Below(16);
        for (uint32_t i = 0; i < words; ++i) {
            std::string word = PickWord(random);
            if (i == 0)
                word[0] = static_cast<char>(word[0] - 'a' + 'A');
            if (random.Below(40) == 0)
                word += std::to_string(random.Below(2000));
            word += i + 1 == words ? (random.Below(6) == 0 ? "?" : ".")
                                   : (random.Below(9) == 0 ? "," : "");
            if (out.size() - lineStart + word.size() > 72) {
                out.push_back('\r');
                out.push_back('\n');
                lineStart = out.size();
            } else if (out.size() > lineStart) {
                out.push_back(' ');
            }
            out.insert(out.end(), word.begin(), word.end());
        }
        if (random.Below(5) == 0) { // end of paragraph
            const char breakText[] = "\r\n\r\n";
            out.insert(out.end(), breakText, breakText + 4);
            lineStart = out.size();
        }
    }
}

void AppendLittleEndian(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void AppendBinary(Bytes& out, size_t size, TestRandom& random) {
    // Instruction-like patterns, fixed per call: a few opcode bytes and an operand.
    struct Pattern {
        unsigned char opcode[4];
        int opcodeBytes;
        int operandBytes;
    } patterns[48];
    for (Pattern& pattern : patterns) {
        pattern.opcodeBytes = 1 + static_cast<int>(random.Below(3));
        for (unsigned char& byte : pattern.opcode)
            byte = static_cast<unsigned char>(random.Below(256));
        const int operandSizes[] = {0, 1, 1, 4};
        pattern.operandBytes = operandSizes[random.Below(4)];
    }
    uint32_t address = 0x401000 + random.Below(0x1000) * 16;
    while (out.size() < size) {
        switch (random.Below(8)) {
        case 0: { // zero padding to a 16-byte boundary and beyond
            size_t count = 16 - out.size() % 16 + random.Below(4) * 16 * random.Below(10);
            out.insert(out.end(), count, 0);
            break;
        }
        case 1: { // a table of addresses rising in small steps
            uint32_t count = 4 + random.Below(60);
            for (uint32_t i = 0; i < count; ++i)
                AppendLittleEndian(out, address += 4 * (1 + random.Below(8)), 4);
            break;
        }
        case 2: { // NUL-terminated identifiers, some as UTF-16
            bool wide = random.Below(3) == 0;
            uint32_t count = 1 + random.Below(6);
            for (uint32_t i = 0; i < count; ++i) {
                std::string name = PickWord(random);
                name[0] = static_cast<char>(name[0] - 'a' + 'A');
                name += PickWord(random);
                name += '\0';
                for (char c : name) {
                    out.push_back(static_cast<unsigned char>(c));
                    if (wide)
                        out.push_back(0);
                }
            }
            break;
        }
        default: { // a stretch of code
            uint32_t count = 8 + random.Below(120);
            for (uint32_t i = 0; i < count; ++i) {
                // A few patterns are much more frequent than the rest.
                const Pattern& pattern = patterns[random.Below(random.Below(48) + 1)];
                out.insert(out.end(), pattern.opcode, pattern.opcode + pattern.opcodeBytes);
                if (pattern.operandBytes == 1)
                    out.push_back(static_cast<unsigned char>(random.Below(16) * 4));
                else if (pattern.operandBytes == 4)
                    AppendLittleEndian(out, address + random.Below(4096) * 4, 4);
            }
            break;
        }
        }
    }
}

void AppendRuns(Bytes& out, size_t size, TestRandom& random) {
    while (out.size() < size) {
        unsigned char byte =
            random.Below(4) == 0 ? 0 : static_cast<unsigned char>(random.Below(256));
        // Mostly short runs; some longer than a match can be (518 bytes).
        uint32_t length = random.Below(8) == 0 ? 100 + random.Below(1400) : 1 + random.Below(24);
        out.insert(out.end(), length, byte);
    }
}

void AppendRandom(Bytes& out, size_t size, TestRandom& random) {
    while (out.size() < size) {
        uint64_t value = random.Next();
        unsigned char bytes[8];
        std::memcpy(bytes, &value, 8);
        out.insert(out.end(), bytes, bytes + 8);
    }
}

void Append(DataKind kind, Bytes& out, size_t size, TestRandom& random) {
    switch (kind) {
    case DataKind::Text:
        return AppendText(out, size, random);
    case DataKind::Binary:
        return AppendBinary(out, size, random);
    case DataKind::Runs:
        return AppendRuns(out, size, random);
    case DataKind::Random:
        return AppendRandom(out, size, random);
    case DataKind::Mixed:
        while (out.size() < size) {
            DataKind piece = kAllDataKinds[random.Below(4)];
            Append(piece, out, out.size() + 1024 + random.Below(15 * 1024), random);
        }
        return;
    }
}

} // namespace

const char* DataKindName(DataKind kind) {
    switch (kind) {
    case DataKind::Text:
        return "text";
    case DataKind::Binary:
        return "binary";
    case DataKind::Runs:
        return "runs";
    case DataKind::Random:
        return "random";
    case DataKind::Mixed:
        return "mixed";
    }
    return "?";
}

std::vector<unsigned char> MakeTestData(DataKind kind, size_t size, uint64_t seed) {
    // The kind goes into the seed, so that kinds made with one seed are unrelated.
    TestRandom random(seed * 8 + static_cast<uint64_t>(kind));
    Bytes out;
    out.reserve(size + 2048);
    Append(kind, out, size, random);
    out.resize(size);
    return out;
}
