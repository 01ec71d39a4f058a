// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/office_spreadsheet.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/TerminationVetoException.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/frame/XTerminateListener.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeMovement.hpp>
#include <com/sun/star/sheet/XHeaderFooterContent.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ref.hxx>
#include <rtl/ustring.hxx>

#include "base/files.h"
#include "printouts/office_process.h"
#include "printouts/uno_context.h"

namespace pamerol {

namespace fs = std::filesystem;
namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

// Where Debian's LibreOffice keeps its program and type libraries; set by the build.
#ifndef PAMEROL_LO_PROGRAM
#define PAMEROL_LO_PROGRAM "/usr/lib/libreoffice/program"
#endif

// The locale the office reads typed input in: "12.345,67" is a number, "01.02.2005" a date.
constexpr const char* kOfficeLocale = "tr-TR";

OUString U(std::string_view s) {
    return rtl::OStringToOUString(rtl::OString(s.data(), static_cast<sal_Int32>(s.size())),
                                  RTL_TEXTENCODING_UTF8);
}

OUString A(const char* s) {
    return OUString::createFromAscii(s);
}

std::string S(const OUString& s) {
    return rtl::OUStringToOString(s, RTL_TEXTENCODING_UTF8).getStr();
}

css::beans::PropertyValue Prop(const char* name, Any value) {
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = std::move(value);
    return p;
}

template <size_t N> Sequence<css::beans::PropertyValue> Props(const css::beans::PropertyValue (&p)[N]) {
    return Sequence<css::beans::PropertyValue>(p, static_cast<sal_Int32>(N));
}

// The UNO runtime of this process, made once: just enough to reach an office through a pipe.

// A cell address such as "AV8" as a 0-based column and row; nothing when it is not one.
std::optional<std::pair<sal_Int32, sal_Int32>> Position(std::string_view address) {
    sal_Int32 column = 0, row = 0;
    size_t i = 0;
    for (; i < address.size() && std::isalpha(static_cast<unsigned char>(address[i])); ++i)
        column = column * 26 + (std::toupper(static_cast<unsigned char>(address[i])) - 'A' + 1);
    if (i == 0 || i == address.size() || i > 3) return std::nullopt;
    for (; i < address.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(address[i])) || row > 1000000) return std::nullopt;
        row = row * 10 + (address[i] - '0');
    }
    if (row < 1) return std::nullopt;
    return std::pair{column - 1, row - 1};
}

// A line break inside a cell is a single line feed.
std::string CellLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

// The paragraphs of a text, in order.
std::vector<Reference<css::text::XTextRange>> Paragraphs(const Reference<css::text::XText>& text) {
    std::vector<Reference<css::text::XTextRange>> out;
    Reference<css::container::XEnumeration> e =
        Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)->createEnumeration();
    while (e->hasMoreElements()) out.emplace_back(e->nextElement(), UNO_QUERY_THROW);
    return out;
}

// The room one footer line takes, in 1/100 mm: a line of 10 pt with its spacing, and a little more.
constexpr sal_Int32 kFooterLineHeight = 470;

// Runs one operation on the office; any failure of it (an exception of UNO or of the bridge) is false.
template <class F> bool Attempt(F&& f) {
    try {
        return f();
    } catch (const css::uno::Exception&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

// Sets one value in the office's configuration when it differs.
void SetConfiguration(const Reference<css::uno::XComponentContext>& office, const char* node,
                      const char* name, const Any& value) {
    auto provider = css::configuration::theDefaultProvider::get(office);
    Any args[] = {Any(css::beans::NamedValue(A("nodepath"), Any(OUString::createFromAscii(node))))};
    Reference<css::container::XNameReplace> access(
        provider->createInstanceWithArguments(A("com.sun.star.configuration.ConfigurationUpdateAccess"),
                                              Sequence<Any>(args, 1)),
        UNO_QUERY_THROW);
    const OUString key = OUString::createFromAscii(name);
    if (access->getByName(key) == value) return;
    access->replaceByName(key, value);
    Reference<css::util::XChangesBatch>(access, UNO_QUERY_THROW)->commitChanges();
}

// The program's own settings in its office profile, each with the text that shows a profile has it. The
// office reads them when it starts: Turkish typed input ("12.345,67" a number, "01.02.2005" a date), no tip
// dialog over the workbook, menus and questions in Turkish, and no Start Center: when the clerk closes the
// last paper, the office ends instead of leaving its Start Center on screen.
const std::pair<const char*, std::string> kProfileSettings[] = {
    {"\"ooSetupSystemLocale\"", std::string("<item oor:path=\"/org.openoffice.Setup/L10N\"><prop "
                                            "oor:name=\"ooSetupSystemLocale\" oor:op=\"fuse\"><value>") +
                                    kOfficeLocale + "</value></prop></item>\n"},
    {"\"ShowTipOfTheDay\"",
     "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop "
     "oor:name=\"ShowTipOfTheDay\" oor:op=\"fuse\"><value>false</value></prop></item>\n"},
    {"\"UILocale\"",
     "<item oor:path=\"/org.openoffice.Office.Linguistic/General\"><prop oor:name=\"UILocale\" "
     "oor:op=\"fuse\"><value>tr</value></prop></item>\n"},
    {"\"com.sun.star.frame.StartModule\"",
     "<item oor:path=\"/org.openoffice.Setup/Office/Factories\"><node "
     "oor:name=\"com.sun.star.frame.StartModule\" oor:op=\"remove\"/></item>\n"},
};

// Puts the program's settings into the profile before its office starts: a new profile gets them all, and
// a profile of an earlier version of the program the ones it lacks. (Those that can change while the
// office runs are set again on every connection, see configure.)
void SeedProfile(const std::string& profile) {
    const fs::path settings = fs::path(profile) / "user" / "registrymodifications.xcu";
    std::error_code ec;
    std::string xml;
    if (fs::exists(settings, ec)) {
        std::ifstream in(settings);
        xml.assign(std::istreambuf_iterator<char>(in), {});
    } else {
        fs::create_directories(settings.parent_path(), ec);
        xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
              "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
              "</oor:items>\n";
    }
    const size_t end = xml.rfind("</oor:items>");
    if (end == std::string::npos) return; // not a settings file the program knows how to add to
    std::string missing;
    for (const auto& [mark, item] : kProfileSettings)
        if (xml.find(mark) == std::string::npos) missing += item;
    if (missing.empty()) return;
    xml.insert(end, missing);
    std::ofstream(settings, std::ios::trunc) << xml;
}

// The heights rows take so that together they hold `needed`: the template's heights stay the least, and
// whatever more the text needs is shared out evenly.
std::vector<sal_Int32> Grown(std::vector<sal_Int32> heights, sal_Int32 needed) {
    sal_Int32 total = 0;
    for (sal_Int32 h : heights) total += h;
    if (needed <= total || heights.empty()) return heights;
    const auto count = static_cast<sal_Int32>(heights.size());
    const sal_Int32 extra = needed - total;
    for (sal_Int32 i = 0; i < count; ++i)
        heights[static_cast<size_t>(i)] += extra / count + (i < extra % count ? 1 : 0);
    return heights;
}

// Whether a text is certainly laid out on one line in a cell with this much room (1/100 mm) at this font
// size (pt): even in its widest letters, which are narrower than the font is high (1/100 mm = pt × 35.28).
// Only for the letters of the European scripts; any other letter is measured.
bool SurelyOneLine(std::string_view text, double charHeight, double room) {
    size_t letters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;        // the rest of a letter
        if (c < 0x20 || c >= 0xD5) return false; // a control, or a letter beyond U+053F
        ++letters;
    }
    return static_cast<double>(letters) * charHeight * 35.28 * 1.05 <= room;
}

// A line of the tallest letters a Turkish text has: how tall one line of a font is.
constexpr const char* kOneLineProbe = "ÇĞİŞÖÜçğış|";

// The sheet on which the office lays texts out while a workbook is filled.
constexpr const char* kScratchSheet = "pamerol-olcu";

// What decides how a text is laid out in a cell: its font, wrapping, alignment, margins and the borders
// that take room from it.
constexpr const char* kLook[] = {"CharFontName",   "CharHeight",      "CharWeight",    "CharPosture",
                                 "IsTextWrapped",  "HoriJustify",     "VertJustify",   "ParaIndent",
                                 "ParaLeftMargin", "ParaRightMargin", "ParaTopMargin", "ParaBottomMargin",
                                 "TopBorder",      "BottomBorder",    "LeftBorder",    "RightBorder"};

// One call each way, as every call is a round trip to the office.
void CopyLook(const Reference<css::uno::XInterface>& from, const Reference<css::uno::XInterface>& to) {
    constexpr sal_Int32 count = sizeof kLook / sizeof kLook[0];
    OUString names[count];
    for (sal_Int32 i = 0; i < count; ++i) names[i] = A(kLook[i]);
    const Sequence<OUString> all(names, count);
    Reference<css::beans::XMultiPropertySet>(to, UNO_QUERY_THROW)
        ->setPropertyValues(
            all, Reference<css::beans::XMultiPropertySet>(from, UNO_QUERY_THROW)->getPropertyValues(all));
}

// The command line of an office on the program's profile that listens on the pipe and opens no window of
// its own: neither a document nor the Start Center.
std::vector<std::string> OfficeArguments(const OfficeOptions& options, const std::string& profile,
                                         const std::string& pipe) {
    std::vector<std::string> argv = {
        options.soffice, "-env:UserInstallation=" + FileUrl(profile),
        "--norestore",   "--nologo",
        "--nodefault",   "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext"};
    if (!options.visible) argv.insert(argv.begin() + 2, "--headless");
    return argv;
}

bool HaveDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

std::string ProfileFolder(const OfficeOptions& options) {
    std::error_code ec;
    const std::string profile = options.profile.empty() ? DefaultOfficeProfile() : options.profile;
    return fs::absolute(profile, ec).lexically_normal().string();
}

} // namespace

void StartOfficeInBackground(const OfficeOptions& options) {
    const std::string profile = ProfileFolder(options);
    const std::string pipe = PipeNameFor(profile);
    if (PipeListening(pipe) || (options.visible && !HaveDisplay())) return;
    std::error_code ec;
    fs::create_directories(profile, ec);
    if (ec) return;
    SeedProfile(profile);
    // A second start while the first is still coming up hands its arguments to the first and ends.
    SpawnDetached(OfficeArguments(options, profile, pipe));
}

Reference<css::uno::XComponentContext> UnoLocalContext() {
    static Reference<css::uno::XComponentContext> context = [] {
        // The connection writes to the office's pipe without holding back SIGPIPE: an office that closes
        // in the middle of a fill would otherwise end this program too. A failed write is reported as a
        // failed step instead.
        struct sigaction current {};
        if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::signal(SIGPIPE, SIG_IGN);
        rtl::Bootstrap::set(A("URE_MORE_TYPES"), U("file://" PAMEROL_LO_PROGRAM "/types/offapi.rdb"));
        return cppu::defaultBootstrap_InitialComponentContext(U("file://" PAMEROL_LO_PROGRAM "/unorc"));
    }();
    return context;
}

namespace {

using Connection = std::pair<Reference<css::uno::XComponentContext>, Reference<css::frame::XDesktop2>>;

std::string ConnectionString(const std::string& pipe) {
    return "uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext";
}

// One attempt to reach the office listening on the connection; empty when none answers.
Connection Connect(const std::string& connection) {
    try {
        auto local = UnoLocalContext();
        Reference<css::bridge::XUnoUrlResolver> resolver(
            local->getServiceManager()->createInstanceWithContext(A("com.sun.star.bridge.UnoUrlResolver"),
                                                                  local),
            UNO_QUERY_THROW);
        Reference<css::uno::XComponentContext> office(resolver->resolve(U(connection)), UNO_QUERY_THROW);
        return {office, css::frame::Desktop::create(office)};
    } catch (...) {
        return {};
    }
}

// Settings of the program's own office: Turkish typed input, and no tip dialog over the workbook.
void Configure(const Reference<css::uno::XComponentContext>& office) {
    Attempt([&] {
        SetConfiguration(office, "/org.openoffice.Setup/L10N", "ooSetupSystemLocale",
                         Any(OUString::createFromAscii(kOfficeLocale)));
        return true;
    });
    Attempt([&] {
        SetConfiguration(office, "/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay", Any(false));
        return true;
    });
    Attempt([&] {
        SetConfiguration(office, "/org.openoffice.Office.Linguistic/General", "UILocale",
                         Any(OUString::createFromAscii("tr")));
        return true;
    });
}

void CloseDocument(const Reference<css::lang::XComponent>& document) {
    Attempt([&] {
        if (Reference<css::util::XCloseable> closeable{document, UNO_QUERY}; closeable.is())
            closeable->close(true);
        return true;
    });
}

// Opens an untitled copy of the workbook (opening it never waits on another window's lock, and saving asks
// for a name), with no window until it is filled; null, with the reason, when the office loads no
// spreadsheet from it.
Reference<css::lang::XComponent> LoadCopy(const Reference<css::frame::XDesktop2>& desktop,
                                          const std::string& absolute, std::string& why) {
    const css::beans::PropertyValue props[] = {
        Prop("AsTemplate", Any(true)),
        Prop("Hidden", Any(true)),
        Prop("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
        Prop("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)),
    };
    Reference<css::lang::XComponent> doc =
        desktop->loadComponentFromURL(U(FileUrl(absolute)), A("_blank"), 0, Props(props));
    if (!Reference<css::sheet::XSpreadsheetDocument>(doc, UNO_QUERY).is()) {
        why = "LibreOffice bir hesap tablosu yüklemedi";
        CloseDocument(doc);
        return {};
    }
    return doc;
}

// Headless, a workbook needs no window, view or toolbars of the office's: the model alone is loaded, as an
// untitled copy. Throws when the office does not load it.
Reference<css::lang::XComponent> LoadModel(const Reference<css::uno::XComponentContext>& office,
                                           const std::string& absolute) {
    Reference<css::frame::XLoadable> loadable(office->getServiceManager()->createInstanceWithContext(
                                                  A("com.sun.star.sheet.SpreadsheetDocument"), office),
                                              UNO_QUERY_THROW);
    const css::beans::PropertyValue props[] = {
        Prop("URL", Any(U(FileUrl(absolute)))),
        Prop("FilterName", Any(A("MS Excel 97"))),
        Prop("AsTemplate", Any(true)),
        Prop("Hidden", Any(true)),
        Prop("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
        Prop("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)),
    };
    try {
        loadable->load(Props(props));
    } catch (...) {
        CloseDocument(Reference<css::lang::XComponent>(loadable, UNO_QUERY));
        throw;
    }
    return Reference<css::lang::XComponent>(loadable, UNO_QUERY_THROW);
}

// Whether the office shows a window: a paper, or anything the clerk opened in it.
bool AnyWindowShown(const Reference<css::frame::XDesktop2>& desktop) {
    Reference<css::container::XIndexAccess> frames(desktop->getFrames(), UNO_QUERY_THROW);
    for (sal_Int32 i = 0, n = frames->getCount(); i < n; ++i) {
        Reference<css::frame::XFrame> frame(frames->getByIndex(i), UNO_QUERY);
        if (!frame.is()) continue;
        Reference<css::awt::XWindow2> window(frame->getContainerWindow(), UNO_QUERY);
        if (window.is() && window->isVisible()) return true;
    }
    return false;
}

// Asked by the office before it ends. The office has no Start Center to fall back on, so closing the last
// paper would end it and the next paper would wait for a cold start: while the program runs, an office with
// no window left stays up in the background. With a window open the clerk is quitting the office itself
// (Ctrl+Q), and it ends as asked.
class KeepOfficeUp final : public cppu::WeakImplHelper1<css::frame::XTerminateListener> {
  public:
    void SAL_CALL queryTermination(const css::lang::EventObject& event) override {
        if (!holding) return;
        bool shown = true;
        Attempt([&] {
            shown = AnyWindowShown(Reference<css::frame::XDesktop2>(event.Source, UNO_QUERY_THROW));
            return true;
        });
        if (!shown) throw css::frame::TerminationVetoException();
    }
    void SAL_CALL notifyTermination(const css::lang::EventObject&) override {}
    void SAL_CALL disposing(const css::lang::EventObject&) override {}

    std::atomic<bool> holding{true};
};

// FNV-1a of a file's bytes: the same workbook gives the same key, whatever its name.
std::uint64_t ContentKey(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// The program's own visible office while the program runs, one per pipe: one connection for every paper
// (configured once), the office kept up between papers, and an untitled copy of each paper's workbook
// loaded ahead with no window, so that "Yazdır" only fills and shows it. The copies are loaded on a thread
// of their own, from a private copy of the file, and kept by the contents they were loaded from: a paper
// takes a copy only of the very bytes it would have opened.
class OfficeSession {
  public:
    static OfficeSession& of(const std::string& pipe) {
        static std::mutex sessionsMutex;
        static auto* sessions = new std::map<std::string, OfficeSession*>; // alive until the program ends
        std::lock_guard lock(sessionsMutex);
        OfficeSession*& session = (*sessions)[pipe];
        if (!session) session = new OfficeSession(pipe);
        return *session;
    }

    // The connection to the office: the one made before while the office answers it, else a new one
    // (configured, and told to stay up between papers); empty when no office listens on the pipe.
    Connection connect() {
        std::lock_guard lock(mutex_);
        return connectLocked();
    }

    // Loads copies of these workbooks ahead, after the delay (so that it never slows down a paper being
    // painted); the files are read when their turn comes. `folder` keeps the private copies.
    void prepare(const std::vector<std::string>& paths, const std::string& folder,
                 std::chrono::milliseconds delay) {
        std::lock_guard lock(mutex_);
        if (ending_) return;
        folder_ = folder;
        due_ = std::chrono::steady_clock::now() + delay;
        for (const std::string& path : paths)
            if (std::find(queue_.begin(), queue_.end(), path) == queue_.end()) queue_.push_back(path);
        if (!loader_.joinable()) loader_ = std::thread([this] { load(); });
        changed_.notify_all();
    }

    // The copy loaded ahead from these bytes, taken (the next paper of its kind gets another); waits for
    // one being loaded. Null when there is none.
    Reference<css::lang::XComponent> take(std::uint64_t key) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(20), [&] { return loading_ != key; });
        for (auto it = ready_.begin(); it != ready_.end(); ++it) {
            if (it->first != key) continue;
            Reference<css::lang::XComponent> document = it->second;
            ready_.erase(it);
            // A copy of an office that has ended since is no copy.
            if (Attempt([&] {
                    return Reference<css::frame::XModel>(document, UNO_QUERY_THROW)
                        ->getCurrentController()
                        .is();
                }))
                return document;
            return {};
        }
        return {};
    }

    // Ends what the program began: the copies loaded ahead are closed and the office is no longer kept
    // up. An office that shows no window (the program started it, the clerk has closed every paper)
    // ends now; one that shows papers ends when the clerk closes the last of them.
    void end(bool reachOffice, const std::string& watcher, const std::string& profile) {
        std::unique_lock lock(mutex_);
        ending_ = true;
        changed_.notify_all();
        if (loader_.joinable()) {
            lock.unlock();
            loader_.join();
            lock.lock();
        }
        // Whatever happens below, the session is new again afterwards (a program may print again).
        struct Again {
            OfficeSession& s;
            ~Again() {
                s.ending_ = false;
                s.queue_.clear();
            }
        } again{*this};
        if (!connection_.second.is() && !(reachOffice && PipeListening(pipe_))) return;
        connectLocked();
        for (auto& [key, document] : ready_) CloseDocument(document);
        ready_.clear();
        const Reference<css::frame::XDesktop2> desktop = connection_.second;
        if (!desktop.is()) return;
        if (keeper_.is()) {
            keeper_->holding = false;
            Attempt([&] {
                desktop->removeTerminateListener(keeper_.get());
                return true;
            });
        }
        bool shown = false;
        Attempt([&] {
            shown = AnyWindowShown(desktop);
            if (!shown) desktop->terminate();
            return true;
        });
        // A paper loaded with no window stays the office's own even when shown: closing the last one
        // does not end the office. A watcher of its own ends it then.
        if (shown && !watcher.empty()) SpawnDetached({watcher, "--ofis-bekle", profile});
        connection_ = {};
        keeper_.clear();
    }

  private:
    explicit OfficeSession(std::string pipe) : pipe_(std::move(pipe)) {}

    Connection connectLocked() {
        if (connection_.second.is() && Attempt([&] {
                connection_.second->getCurrentComponent();
                return true;
            }))
            return connection_;
        connection_ = {};
        ready_.clear(); // of an office that has gone
        connection_ = Connect(ConnectionString(pipe_));
        if (!connection_.second.is() || ending_) return connection_;
        Configure(connection_.first);
        keeper_ = new KeepOfficeUp;
        Attempt([&] {
            connection_.second->addTerminateListener(keeper_.get());
            return true;
        });
        return connection_;
    }

    // The loading thread: one workbook at a time, when its turn comes, until the program ends.
    void load() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return ending_ || !queue_.empty(); });
            if (ending_) return;
            if (changed_.wait_until(lock, due_, [&] { return ending_; })) return;
            const std::string path = queue_.front();
            queue_.erase(queue_.begin());
            const auto bytes = ReadWholeFile(path);
            if (!bytes) continue;
            const std::uint64_t key = ContentKey(*bytes);
            if (std::any_of(ready_.begin(), ready_.end(), [&](const auto& r) { return r.first == key; }))
                continue;
            // The office reads a copy of its own, which nothing else writes while it loads.
            char name[32];
            std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(key));
            const fs::path copy =
                fs::path(folder_) / (std::string(name) + fs::path(path).extension().string());
            std::error_code ec;
            fs::create_directories(copy.parent_path(), ec);
            if (!(std::ofstream(copy, std::ios::binary | std::ios::trunc) << *bytes)) continue;
            loading_ = key;
            Connection connection;
            // The office the program started in the background may still be coming up.
            for (int i = 0; i < 600 && !ending_; ++i) {
                connection = connectLocked();
                if (connection.second.is()) break;
                changed_.wait_for(lock, std::chrono::milliseconds(100), [&] { return ending_; });
            }
            Reference<css::lang::XComponent> document;
            if (connection.second.is() && !ending_) {
                lock.unlock();
                std::string why;
                Attempt([&] {
                    document = LoadCopy(connection.second, copy.string(), why);
                    return true;
                });
                lock.lock();
            }
            fs::remove(copy, ec);
            loading_ = 0;
            if (document.is()) {
                if (ending_ || connection_.second != connection.second)
                    CloseDocument(document);
                else
                    ready_.emplace_back(key, document);
            }
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    const std::string pipe_;
    Connection connection_;
    rtl::Reference<KeepOfficeUp> keeper_;
    std::vector<std::pair<std::uint64_t, Reference<css::lang::XComponent>>> ready_;
    std::uint64_t loading_ = 0;
    std::vector<std::string> queue_;
    std::string folder_;
    std::chrono::steady_clock::time_point due_;
    std::thread loader_;
    bool ending_ = false;
};

} // namespace

namespace {

// Where the copies of the papers' workbooks that the office loads ahead are written.
std::string AheadFolder(const std::string& profile) {
    return (fs::path(profile) / "pamerol-hazir").string();
}

} // namespace

std::string DefaultOfficeProfile() {
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    else
        base = fs::temp_directory_path() / ("pamerol-" + std::to_string(::getuid()));
    return (base / "pamerol" / "office-profile").string();
}

struct OfficeSpreadsheet::Impl {
    OfficeOptions options;
    std::string profile;
    std::string pipe;
    pid_t started = -1; // the soffice this object launched, if any
    bool shown = false;
    std::string opened; // visible: the workbook the paper was filled from
    Reference<css::uno::XComponentContext> office;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::lang::XComponent> document;
    Reference<css::table::XCellRange> sheet;
    Reference<css::table::XTableRows> rows;    // of the sheet
    Reference<css::beans::XPropertySet> style; // the sheet's page style
    // What the footer of the page style has, read once per workbook and kept up to date by footerLine.
    struct Footer {
        bool read = false, on = false, shared = true, fixed = false;
        sal_Int32 distance = 0, height = 0;
        std::vector<size_t> lines; // of the left, centre and right side
    } footer;
    // The workbook's shape: its contents when opened, then every change of rows, merges and looks made
    // since, in order. Two fills of the same workbook that have made the same changes have cells of the
    // same look at the same addresses.
    std::uint64_t shape = 0;
    // What a cell's look says about the texts written into it, by the shape and the cell's address:
    // learned at the first text measured there, kept for every later fill of this object.
    struct CellLook {
        bool wraps = false;
        double room = 0;               // the width a line has, in 1/100 mm, with a margin for borders
        double charHeight = 0;         // the font's size, in points
        bool lineFits = false;         // a line of the font fits the rows of the block as they are
        std::set<std::string> fitting; // texts measured here that needed no more room (a few)
    };
    std::map<std::pair<std::uint64_t, std::string>, CellLook> looks;
    // Heights the office has laid out or reported, by the shape they were found in: the next fill that has
    // come to the same shape asks again for none of them.
    using TextKey = std::tuple<std::uint64_t, sal_Int32, sal_Int32, sal_Int32, sal_Int32, OUString>;
    std::map<TextKey, sal_Int32> textHeights;
    std::map<std::pair<std::uint64_t, sal_Int32>, sal_Int32> rowHeights;
    std::map<std::pair<std::uint64_t, std::string>, css::table::CellRangeAddress> areas; // merged blocks

    TextKey textKey(const css::table::CellRangeAddress& area, const OUString& text) const {
        return {shape, area.StartColumn, area.StartRow, area.EndColumn, area.EndRow, text};
    }

    void changed(std::string_view what, std::initializer_list<std::int64_t> numbers = {}) {
        // What is kept stays bounded however long a run is.
        if (textHeights.size() + rowHeights.size() + looks.size() + areas.size() > 50000) {
            areas.clear();
            textHeights.clear();
            rowHeights.clear();
            looks.clear();
        }
        for (unsigned char c : what) shape = (shape ^ c) * 1099511628211ull;
        for (std::int64_t n : numbers) shape = (shape ^ static_cast<std::uint64_t>(n)) * 1099511628211ull;
        shape = (shape ^ 0xff) * 1099511628211ull;
    }
    // The cell of the scratch sheet, its column and its row, while the sheet stands.
    struct Scratch {
        Reference<css::table::XCellRange> sheet;
        Reference<css::table::XCell> cell;
        Reference<css::beans::XPropertySet> column, row;
    } scratch;

    std::string connection() const { return ConnectionString(pipe); }

    // One attempt to reach the office on the pipe. Visible, the program's one connection to its office is
    // shared by every paper (and made once); headless, each object has its own.
    bool connect() {
        if (options.visible) {
            std::tie(office, desktop) = OfficeSession::of(pipe).connect();
            return desktop.is();
        }
        std::tie(office, desktop) = Connect(connection());
        if (desktop.is()) Configure(office);
        return desktop.is();
    }

    Reference<css::table::XCell> cell(std::string_view address) const {
        if (!sheet.is()) throw std::runtime_error("no workbook");
        // Every call is a round trip to the office: a plain address goes straight to its cell.
        if (const auto at = Position(address)) return sheet->getCellByPosition(at->first, at->second);
        return sheet->getCellRangeByName(U(address))->getCellByPosition(0, 0);
    }

    // The merged block a cell belongs to, or the cell alone.
    css::table::CellRangeAddress areaOf(const Reference<css::table::XCellRange>& range) const {
        Reference<css::sheet::XSpreadsheet> spreadsheet(sheet, UNO_QUERY_THROW);
        Reference<css::sheet::XSheetCellCursor> cursor =
            spreadsheet->createCursorByRange(Reference<css::sheet::XSheetCellRange>(range, UNO_QUERY_THROW));
        cursor->collapseToMergedArea();
        return Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    }

    Reference<css::beans::XPropertySet> row(sal_Int32 index) {
        if (!rows.is()) rows = Reference<css::table::XColumnRowRange>(sheet, UNO_QUERY_THROW)->getRows();
        return Reference<css::beans::XPropertySet>(rows->getByIndex(index), UNO_QUERY_THROW);
    }

    sal_Int32 rowHeight(sal_Int32 index) {
        const auto key = std::pair{shape, index};
        if (const auto known = rowHeights.find(key); known != rowHeights.end()) return known->second;
        sal_Int32 height = 0;
        row(index)->getPropertyValue(A("Height")) >>= height;
        rowHeights[key] = height;
        return height;
    }

    sal_Int32 areaWidth(const css::table::CellRangeAddress& area) const {
        css::awt::Size size;
        Reference<css::beans::XPropertySet>(
            sheet->getCellRangeByPosition(area.StartColumn, area.StartRow, area.EndColumn, area.EndRow),
            UNO_QUERY_THROW)
            ->getPropertyValue(A("Size")) >>= size;
        return size.Width;
    }

    // The height a text needs in a block of this width with the look of this cell (font, wrapping, margins),
    // in 1/100 mm. The office lays it out in a cell of a scratch sheet of the same width, which stands
    // only while the workbook is filled: the office's own optimal row height leaves merged blocks alone.
    sal_Int32 neededHeight(const Reference<css::table::XCell>& cell, const css::table::CellRangeAddress& area,
                           const OUString& text) {
        // The office lays the text out for the screen here and for the page when it prints, and the page's
        // lines can be a little fuller: measured a little narrower, no line breaks later on paper than here.
        const TextKey key = textKey(area, text);
        if (const auto known = textHeights.find(key); known != textHeights.end()) return known->second;
        const sal_Int32 width = areaWidth(area) * 96 / 100;
        makeScratch();
        CopyLook(cell, scratch.cell);
        scratch.column->setPropertyValue(A("Width"), Any(width));
        Reference<css::text::XTextRange>(scratch.cell, UNO_QUERY_THROW)->setString(text);
        scratch.row->setPropertyValue(A("OptimalHeight"), Any(true));
        sal_Int32 height = 0;
        scratch.row->getPropertyValue(A("Height")) >>= height;
        textHeights[key] = height;
        return height;
    }

    // The heights of many texts in blocks of one width and look, laid out together: one row of the scratch
    // sheet each, written at once and fitted at once.
    std::vector<sal_Int32> neededHeights(const Reference<css::table::XCell>& cell,
                                         const css::table::CellRangeAddress& area,
                                         const std::vector<OUString>& all) {
        // Only the texts not laid out before in this shape are laid out now.
        std::vector<sal_Int32> heights(all.size(), -1);
        std::vector<OUString> texts;
        for (size_t i = 0; i < all.size(); ++i)
            if (const auto known = textHeights.find(textKey(area, all[i])); known != textHeights.end())
                heights[i] = known->second;
            else
                texts.push_back(all[i]);
        if (texts.empty()) return heights;
        const sal_Int32 width = areaWidth(area) * 96 / 100;
        const sal_Int32 n = static_cast<sal_Int32>(texts.size());
        makeScratch();
        Reference<css::table::XCellRange> column = scratch.sheet->getCellRangeByPosition(0, 0, 0, n - 1);
        CopyLook(cell, column);
        scratch.column->setPropertyValue(A("Width"), Any(width));
        std::vector<Sequence<Any>> lines;
        for (const OUString& text : texts) {
            const Any one(text);
            lines.emplace_back(&one, 1);
        }
        Reference<css::sheet::XCellRangeData>(column, UNO_QUERY_THROW)
            ->setDataArray(Sequence<Sequence<Any>>(lines.data(), n));
        Reference<css::table::XColumnRowRange> grid(column, UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet>(grid->getRows(), UNO_QUERY_THROW)
            ->setPropertyValue(A("OptimalHeight"), Any(true));
        std::map<OUString, sal_Int32> found;
        for (sal_Int32 i = 0; i < n; ++i) {
            sal_Int32 h = 0;
            Reference<css::beans::XPropertySet>(grid->getRows()->getByIndex(i), UNO_QUERY_THROW)
                ->getPropertyValue(A("Height")) >>= h;
            found[texts[static_cast<size_t>(i)]] = h;
            textHeights[textKey(area, texts[static_cast<size_t>(i)])] = h;
        }
        for (size_t i = 0; i < all.size(); ++i)
            if (heights[i] < 0) heights[i] = found[all[i]];
        return heights;
    }

    // The scratch sheet the texts are laid out on, made at the first measurement.
    void makeScratch() {
        if (!scratch.cell.is()) {
            Reference<css::sheet::XSpreadsheetDocument> calc(document, UNO_QUERY_THROW);
            Reference<css::container::XNameContainer> sheets(calc->getSheets(), UNO_QUERY_THROW);
            const OUString name = A(kScratchSheet);
            if (!sheets->hasByName(name))
                Reference<css::sheet::XSpreadsheets>(sheets, UNO_QUERY_THROW)
                    ->insertNewByName(
                        name,
                        static_cast<sal_Int16>(
                            Reference<css::container::XIndexAccess>(sheets, UNO_QUERY_THROW)->getCount()));
            Reference<css::sheet::XSpreadsheet> sheet(sheets->getByName(name), UNO_QUERY_THROW);
            Reference<css::table::XColumnRowRange> grid(sheet, UNO_QUERY_THROW);
            scratch.column.set(grid->getColumns()->getByIndex(0), UNO_QUERY_THROW);
            scratch.row.set(grid->getRows()->getByIndex(0), UNO_QUERY_THROW);
            scratch.cell = sheet->getCellByPosition(0, 0);
            scratch.sheet.set(sheet, UNO_QUERY_THROW);
        }
    }

    void dropScratch() {
        Attempt([&] {
            Reference<css::sheet::XSpreadsheetDocument> calc(document, UNO_QUERY_THROW);
            Reference<css::container::XNameContainer> sheets(calc->getSheets(), UNO_QUERY_THROW);
            if (sheets->hasByName(A(kScratchSheet))) sheets->removeByName(A(kScratchSheet));
            return true;
        });
        scratch = {};
    }

    std::vector<sal_Int32> heightsOf(const css::table::CellRangeAddress& area) {
        std::vector<sal_Int32> heights;
        for (sal_Int32 r = area.StartRow; r <= area.EndRow; ++r) heights.push_back(rowHeight(r));
        return heights;
    }

    // Sets the rows of the block, which now have the heights `before`, to these heights.
    void setHeights(const css::table::CellRangeAddress& area, const std::vector<sal_Int32>& heights,
                    const std::vector<sal_Int32>& before) {
        for (sal_Int32 r = area.StartRow; r <= area.EndRow; ++r) {
            const auto i = static_cast<size_t>(r - area.StartRow);
            if (heights[i] == before[i]) continue;
            changed("height", {r, heights[i]});
            row(r)->setPropertyValue(A("Height"), Any(heights[i]));
        }
    }

    // Makes the rows of the block a written cell belongs to as tall as its text needs, single-line and
    // several-line texts alike; the template's heights stay the least. (A workbook read from .xls has every
    // row at a fixed height, so nothing grows by itself.)
    void fitRows(const Reference<css::table::XCell>& cell, std::string_view address, std::string_view typed,
                 std::optional<OUString> written) {
        // Each measurement is a dozen round trips to the office: a cell whose look is known already takes
        // none for a text that cannot need more room than the template's rows give a line.
        const std::pair key{shape, std::string(address)};
        const bool breaks = typed.find('\n') != std::string_view::npos;
        if (const auto known = looks.find(key); known != looks.end() && !breaks) {
            const CellLook& look = known->second;
            if (!look.wraps || (look.lineFits && SurelyOneLine(typed, look.charHeight, look.room)) ||
                look.fitting.count(std::string(typed)))
                return;
        }
        Attempt([&] {
            // A text in a cell that does not wrap stays on one line unless it has line breaks: the
            // template's row holds one line of it. (A number or a date shrinks to fit instead; the caller
            // does not ask for those.)
            const auto known = looks.find(key);
            const bool learn = known == looks.end();
            CellLook look = learn ? CellLook{} : known->second;
            Reference<css::beans::XPropertySet> props(cell, UNO_QUERY_THROW);
            if (learn) {
                props->getPropertyValue(A("IsTextWrapped")) >>= look.wraps;
                if (!look.wraps) looks[key] = look;
            }
            if (!look.wraps && !breaks) return true;
            // The text as the cell holds it: typed, the office may have taken a leading "'" away.
            const OUString text =
                written ? *written : Reference<css::text::XTextRange>(cell, UNO_QUERY_THROW)->getString();
            css::table::CellRangeAddress area;
            if (const auto a = areas.find(key); a != areas.end())
                area = a->second;
            else
                area = areas[key] = areaOf(Reference<css::table::XCellRange>(cell, UNO_QUERY_THROW));
            const std::vector<sal_Int32> before = heightsOf(area);
            const std::vector<sal_Int32> after = Grown(before, neededHeight(cell, area, text));
            if (learn && look.wraps) {
                // Whether a line of the font fits the rows as the template has them.
                float charHeight = 0;
                sal_Int32 left = 0, right = 0;
                props->getPropertyValue(A("CharHeight")) >>= charHeight;
                props->getPropertyValue(A("ParaLeftMargin")) >>= left;
                props->getPropertyValue(A("ParaRightMargin")) >>= right;
                look.charHeight = charHeight;
                look.room = areaWidth(area) * 0.9 - left - right;
                sal_Int32 total = 0;
                for (sal_Int32 h : before) total += h;
                look.lineFits = neededHeight(cell, area, U(kOneLineProbe)) <= total;
                looks[key] = look;
            }
            setHeights(area, after, before);
            if (after == before && !breaks)
                if (auto& fitting = looks[key].fitting; fitting.size() < 64)
                    fitting.insert(std::string(typed));
            return true;
        });
    }

    // The sheet's page style, looked up once per workbook.
    Reference<css::beans::XPropertySet> pageStyle() {
        if (!style.is()) style = lookUpPageStyle();
        return style;
    }

    Reference<css::beans::XPropertySet> lookUpPageStyle() const {
        Reference<css::beans::XPropertySet> props(sheet, UNO_QUERY_THROW);
        OUString styleName;
        props->getPropertyValue(A("PageStyle")) >>= styleName;
        Reference<css::style::XStyleFamiliesSupplier> families(document, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> styles(
            families->getStyleFamilies()->getByName(A("PageStyles")), UNO_QUERY_THROW);
        return Reference<css::beans::XPropertySet>(styles->getByName(styleName), UNO_QUERY_THROW);
    }

    // Sets or adds lines of one side of the footer, then makes the footer exactly as tall as its most lines
    // need, so that the page's body, measured from the style, is what the office prints into.
    bool footerLine(Spreadsheet::FooterSide side, int line, std::string_view text) {
        if (!sheet.is()) return false;
        Reference<css::beans::XPropertySet> style = pageStyle();
        if (!footer.read) {
            style->getPropertyValue(A("FooterIsOn")) >>= footer.on;
            style->getPropertyValue(A("FooterIsShared")) >>= footer.shared;
            style->getPropertyValue(A("FooterBodyDistance")) >>= footer.distance;
            style->getPropertyValue(A("FooterHeight")) >>= footer.height;
            footer.read = true;
        }
        if (!footer.on) return false;
        Reference<css::sheet::XHeaderFooterContent> content(
            style->getPropertyValue(A("RightPageFooterContent")), UNO_QUERY_THROW);
        auto region = [&](Spreadsheet::FooterSide s) {
            return s == Spreadsheet::FooterSide::Left     ? content->getLeftText()
                   : s == Spreadsheet::FooterSide::Center ? content->getCenterText()
                                                          : content->getRightText();
        };
        // The lines of each side, counted once per workbook and kept up to date here.
        if (footer.lines.empty())
            for (auto s : {Spreadsheet::FooterSide::Left, Spreadsheet::FooterSide::Center,
                           Spreadsheet::FooterSide::Right})
                footer.lines.push_back(Paragraphs(region(s)).size());
        size_t& count = footer.lines[static_cast<size_t>(side)];
        Reference<css::text::XText> t = region(side);
        const std::string lines = CellLineBreaks(text);
        if (line >= 0) {
            std::vector<Reference<css::text::XTextRange>> paragraphs = Paragraphs(t);
            if (static_cast<size_t>(line) >= paragraphs.size()) return false;
            paragraphs[static_cast<size_t>(line)]->setString(U(lines));
        } else {
            size_t from = 0;
            for (;;) {
                const size_t to = std::min(lines.find('\n', from), lines.size());
                t->insertControlCharacter(t->getEnd(), css::text::ControlCharacter::PARAGRAPH_BREAK, false);
                t->insertString(t->getEnd(), U(std::string_view(lines).substr(from, to - from)), false);
                ++count;
                if (to >= lines.size()) break;
                from = to + 1;
            }
        }
        style->setPropertyValue(A("RightPageFooterContent"), Any(content));
        if (!footer.shared) style->setPropertyValue(A("LeftPageFooterContent"), Any(content));
        const size_t most = *std::max_element(footer.lines.begin(), footer.lines.end());
        const auto needed = footer.distance + static_cast<sal_Int32>(most) * kFooterLineHeight;
        if (!footer.fixed) {
            style->setPropertyValue(A("FooterIsDynamicHeight"), Any(false));
            footer.fixed = true;
        }
        if (needed > footer.height) {
            style->setPropertyValue(A("FooterHeight"), Any(needed));
            footer.height = needed;
        }
        return true;
    }

    // The height the rows of the active sheet have on one printed page, in 1/100 mm: the page less its
    // margins, header and footer, at the page's scale. (A sheet scaled to fit its width is printed at full
    // size when its columns fit the page, as the templates' do.)
    sal_Int32 pageBodyHeight() {
        Reference<css::beans::XPropertySet> style = pageStyle();
        auto get = [&](const char* name) {
            sal_Int32 v = 0;
            style->getPropertyValue(A(name)) >>= v;
            return v;
        };
        auto on = [&](const char* name) {
            bool v = false;
            style->getPropertyValue(A(name)) >>= v;
            return v;
        };
        sal_Int32 body = get("Height") - get("TopMargin") - get("BottomMargin");
        if (on("HeaderIsOn")) body -= get("HeaderHeight");
        if (on("FooterIsOn")) body -= get("FooterHeight");
        sal_Int16 scale = 100, pagesX = 0, pagesY = 0;
        style->getPropertyValue(A("PageScale")) >>= scale;
        style->getPropertyValue(A("ScaleToPagesX")) >>= pagesX;
        style->getPropertyValue(A("ScaleToPagesY")) >>= pagesY;
        if (pagesX == 0 && pagesY == 0 && scale > 0 && scale != 100) body = body * 100 / scale;
        return body;
    }

    // Closes the workbook and ends the office (headless mode only: a visible office belongs to the user).
    void shutDown() {
        CloseDocument(document);
        document.clear();
        sheet.clear();
        rows.clear();
        style.clear();
        footer = {};
        Attempt([&] {
            if (desktop.is()) desktop->terminate();
            return true;
        });
        desktop.clear();
        office.clear();
        if (started > 0) {
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (ProcessRunning(started) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (ProcessRunning(started)) ::kill(-started, SIGKILL);
            started = -1;
        }
    }
};

OfficeSpreadsheet::OfficeSpreadsheet(OfficeOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    impl_->profile = ProfileFolder(impl_->options);
    impl_->pipe = PipeNameFor(impl_->profile);
}

OfficeSpreadsheet::~OfficeSpreadsheet() {
    if (!impl_->options.visible) impl_->shutDown();
}

std::string OfficeSpreadsheet::connection() const {
    return impl_->connection();
}

Outcome OfficeSpreadsheet::start() {
    Impl& d = *impl_;
    try {
        UnoLocalContext();
    } catch (...) {
        return Outcome::Failure("LibreOffice'in UNO kitaplıkları yüklenemedi (" PAMEROL_LO_PROGRAM ")");
    }
    // Headless, the office stays connected between fills: a fill after the first opens no new connection
    // and configures nothing again, unless the office has gone away meanwhile.
    if (!d.options.visible && d.desktop.is()) {
        if (Attempt([&] {
                d.desktop->getCurrentComponent();
                return true;
            }))
            return Outcome::Success();
        d.office.clear();
        d.desktop.clear();
    }
    // An office already running on the profile takes the new workbook as another window.
    if (!d.connect()) {
        std::error_code ec;
        fs::create_directories(d.profile, ec);
        if (ec)
            return Outcome::Failure("ofis profili oluşturulamadı: " + d.profile + " (" + ec.message() + ")");
        SeedProfile(d.profile);
        const std::vector<std::string> argv = OfficeArguments(d.options, d.profile, d.pipe);
        if (d.options.visible && !HaveDisplay())
            return Outcome::Failure("pencere gösterilecek bir ekran yok (DISPLAY tanımlı değil)");
        // A soffice that finds an office on the same profile hands its arguments over and ends; the
        // office then listens on the pipe. An office that is just closing takes the arguments and still
        // goes away: then soffice ends and nobody answers, and a new soffice is started once it has gone.
        auto now = std::chrono::steady_clock::now;
        const auto deadline = now() + std::chrono::milliseconds(d.options.connectTimeoutMs);
        for (int attempt = 1;; ++attempt) {
            Spawned s = SpawnDetached(argv);
            if (s.pid < 0) {
                if (s.error == ENOENT)
                    return Outcome::Failure("'" + d.options.soffice + "' programı bulunamadı");
                return Outcome::Failure("'" + d.options.soffice + "' çalıştırılamadı (" +
                                        std::strerror(s.error) + ")");
            }
            d.started = s.pid;
            std::optional<std::chrono::steady_clock::time_point> endedAt;
            bool connected = false;
            while (!(connected = d.connect())) {
                if (now() > deadline) return Outcome::Failure("LibreOffice zamanında yanıt vermedi");
                if (!endedAt && !ProcessRunning(s.pid)) endedAt = now();
                if (endedAt && now() - *endedAt > std::chrono::seconds(2)) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (connected) break;
            if (attempt == 3) return Outcome::Failure("LibreOffice açıldıktan hemen sonra kapandı");
        }
    }
    return Outcome::Success();
}

bool OfficeSpreadsheet::show() {
    // The office shows a window with the workbook when it is opened; until then there is nothing to show.
    impl_->shown = impl_->desktop.is();
    return impl_->shown;
}

Outcome OfficeSpreadsheet::open(const std::string& path) {
    Impl& d = *impl_;
    if (!d.desktop.is()) return Outcome::Failure("LibreOffice çalışmıyor");
    std::error_code ec;
    if (!fs::exists(path, ec)) return Outcome::Failure("dosya yok");
    const std::string absolute = fs::absolute(path, ec).string();
    std::string why;
    // Headless, the previous workbook has been stored by now: closed, so that an office that fills many
    // papers in a row holds one workbook at a time instead of every one it filled.
    if (!d.options.visible && d.document.is()) {
        d.dropScratch();
        CloseDocument(d.document);
        d.document.clear();
        d.sheet.clear();
        d.rows.clear();
        d.style.clear();
        d.footer = {};
    }
    bool ok = Attempt([&] {
        // Visible, a copy loaded ahead of these very bytes is taken when there is one.
        Reference<css::lang::XComponent> doc;
        const auto bytes = ReadWholeFile(absolute);
        d.shape = bytes ? ContentKey(*bytes) : 0;
        if (d.options.visible && bytes) {
            doc = OfficeSession::of(d.pipe).take(d.shape);
            d.opened = absolute;
        }
        // Headless, an Excel workbook is loaded as a model alone (a third of the time of a load in a
        // frame); anything else, or a workbook that will not load so, the usual way.
        if (!doc.is() && !d.options.visible && StoreFilterFor(absolute) == std::string_view("MS Excel 97"))
            Attempt([&] {
                doc = LoadModel(d.office, absolute);
                return true;
            });
        if (!doc.is()) doc = LoadCopy(d.desktop, absolute, why);
        if (!doc.is()) return false;
        Reference<css::sheet::XSpreadsheetDocument> calc(doc, UNO_QUERY_THROW);
        d.document = doc;
        d.rows.clear();
        d.style.clear();
        d.footer = {};
        // The sheet the workbook was saved on, as the user would see it; else the first.
        Reference<css::frame::XModel> model(doc, UNO_QUERY);
        // The window is drawn once, when the fill lets go, rather than after every cell.
        if (model.is()) model->lockControllers();
        // The fill is not the clerk's to undo, and keeps no undo steps: Ctrl+Z undoes the clerk's own edits.
        if (Reference<css::document::XUndoManagerSupplier> undo{doc, UNO_QUERY}; undo.is())
            undo->getUndoManager()->lock();
        Reference<css::sheet::XSpreadsheetView> view;
        if (model.is()) view.set(model->getCurrentController(), UNO_QUERY);
        if (view.is()) {
            d.sheet.set(view->getActiveSheet(), UNO_QUERY);
            // The many narrow columns of a form would fill the window with grid lines.
            Reference<css::beans::XPropertySet> settings(view, UNO_QUERY);
            if (settings.is()) settings->setPropertyValue(A("ShowGrid"), Any(false));
        }
        if (!d.sheet.is()) {
            Reference<css::container::XIndexAccess> sheets(calc->getSheets(), UNO_QUERY_THROW);
            d.sheet.set(sheets->getByIndex(0), UNO_QUERY_THROW);
        }
        return true;
    });
    if (ok) return Outcome::Success();
    return Outcome::Failure(why.empty() ? "LibreOffice dosyayı okuyamadı" : why);
}

bool OfficeSpreadsheet::write(std::string_view address, std::string_view text, WriteMode mode) {
    Reference<css::table::XCell> cell;
    bool value = false;            // the office took the text as a number or a date
    std::optional<OUString> exact; // the text the cell holds, when it was written as it is
    const bool written = Attempt([&] {
        cell = impl_->cell(address);
        const std::string lines = CellLineBreaks(text);
        const OUString typed = U(lines);
        // A text of several lines is no number or date; typed, it is a text cell with its line breaks.
        if (mode == WriteMode::Value && !TakenAsFormula(text) && lines.find('\n') == std::string::npos) {
            // As if typed: the office's locale decides between number, date and text.
            Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
                ->setPropertyValue(A("FormulaLocal"), Any(typed));
            const auto type = cell->getType();
            value = type == css::table::CellContentType_VALUE;
            if (type != css::table::CellContentType_FORMULA) return true;
            // Whatever the office would still run as a formula is put back as the text it was.
        }
        Reference<css::text::XTextRange>(cell, UNO_QUERY_THROW)->setString(typed);
        exact = typed;
        return true;
    });
    // The rows grow for a text that needs them (a number or a date stays on one line); the text stands
    // even if this fails.
    if (written && !value && !text.empty()) impl_->fitRows(cell, address, text, exact);
    return written;
}

namespace {

// A block of cells in one call: grid[r][c] goes to the cell c columns right of and r rows below the
// 0-based column and row given; every row of the grid is as wide as the first.
void SetDataArray(const Reference<css::table::XCellRange>& sheet, sal_Int32 column, sal_Int32 row,
                  const std::vector<std::vector<Any>>& grid) {
    std::vector<Sequence<Any>> lines;
    lines.reserve(grid.size());
    for (const std::vector<Any>& line : grid)
        lines.emplace_back(line.data(), static_cast<sal_Int32>(line.size()));
    const Sequence<Sequence<Any>> data(lines.data(), static_cast<sal_Int32>(lines.size()));
    Reference<css::sheet::XCellRangeData>(
        sheet->getCellRangeByPosition(column, row, column + static_cast<sal_Int32>(grid.front().size()) - 1,
                                      row + static_cast<sal_Int32>(grid.size()) - 1),
        UNO_QUERY_THROW)
        ->setDataArray(data);
}

} // namespace

bool OfficeSpreadsheet::writeCells(std::string_view range, const std::vector<BlockCell>& cells) {
    return Attempt([&] {
        if (!impl_->sheet.is()) return false;
        const size_t colon = range.find(':');
        const auto first = Position(range.substr(0, colon));
        const auto last = colon == std::string_view::npos ? first : Position(range.substr(colon + 1));
        if (!first || !last || last->first < first->first || last->second < first->second) return false;
        const sal_Int32 columns = last->first - first->first + 1, rows = last->second - first->second + 1;
        // Every cell of the block in one call: an empty text leaves its cell empty.
        std::vector<std::vector<Any>> grid(static_cast<size_t>(rows),
                                           std::vector<Any>(static_cast<size_t>(columns), Any(OUString())));
        for (const BlockCell& c : cells) {
            const auto at = Position(c.cell);
            if (!at || at->first < first->first || at->first > last->first || at->second < first->second ||
                at->second > last->second)
                return false;
            Any& a = grid[static_cast<size_t>(at->second - first->second)]
                         [static_cast<size_t>(at->first - first->first)];
            if (const auto* text = std::get_if<std::string>(&c.value))
                a <<= U(*text);
            else
                a <<= std::get<double>(c.value);
        }
        SetDataArray(impl_->sheet, first->first, first->second, grid);
        return true;
    });
}

bool OfficeSpreadsheet::insertRows(int row, int count) {
    impl_->changed("insertRows", {row, count});
    return Attempt([&] {
        if (!impl_->sheet.is() || row < 1 || count < 1) return false;
        if (!impl_->rows.is())
            impl_->rows = Reference<css::table::XColumnRowRange>(impl_->sheet, UNO_QUERY_THROW)->getRows();
        impl_->rows->insertByIndex(row - 1, count);
        return true;
    });
}

bool OfficeSpreadsheet::copyRange(std::string_view fromRange, std::string_view toCell) {
    impl_->changed(std::string("copyRange ").append(fromRange).append(" ").append(toCell));
    return Attempt([&] {
        if (!impl_->sheet.is()) return false;
        const auto to = Position(toCell);
        if (!to) return false;
        const auto from = Reference<css::sheet::XCellRangeAddressable>(
                              impl_->sheet->getCellRangeByName(U(fromRange)), UNO_QUERY_THROW)
                              ->getRangeAddress();
        css::table::CellAddress target;
        target.Sheet = from.Sheet;
        target.Column = to->first;
        target.Row = to->second;
        Reference<css::sheet::XCellRangeMovement>(impl_->sheet, UNO_QUERY_THROW)->copyRange(target, from);
        return true;
    });
}

bool OfficeSpreadsheet::writeNumber(std::string_view address, double value) {
    return Attempt([&] {
        impl_->cell(address)->setValue(value);
        return true;
    });
}

bool OfficeSpreadsheet::merge(std::string_view range) {
    impl_->changed(std::string("merge ").append(range));
    return Attempt([&] {
        if (!impl_->sheet.is()) return false;
        Reference<css::util::XMergeable>(impl_->sheet->getCellRangeByName(U(range)), UNO_QUERY_THROW)
            ->merge(true);
        return true;
    });
}

bool OfficeSpreadsheet::alignRight(std::string_view address) {
    impl_->changed(std::string("alignRight ").append(address));
    return Attempt([&] {
        Reference<css::beans::XPropertySet>(impl_->cell(address), UNO_QUERY_THROW)
            ->setPropertyValue(A("HoriJustify"), Any(css::table::CellHoriJustify_RIGHT));
        return true;
    });
}

int OfficeSpreadsheet::pageBodyHeight() {
    int body = 0;
    Attempt([&] {
        body = impl_->pageBodyHeight();
        return true;
    });
    return std::max(body, 0);
}

int OfficeSpreadsheet::rowHeight(int row) {
    int height = 0;
    Attempt([&] {
        if (!impl_->sheet.is() || row < 1) return false;
        height = impl_->rowHeight(row - 1);
        return true;
    });
    return height;
}

bool OfficeSpreadsheet::setRowHeight(int row, int height) {
    impl_->changed("setRowHeight", {row, height});
    return Attempt([&] {
        if (!impl_->sheet.is() || row < 1) return false;
        impl_->row(row - 1)->setPropertyValue(A("Height"), Any(static_cast<sal_Int32>(height)));
        return true;
    });
}

namespace {

// The block a range such as "A17:EX17" names, worked out here; nothing for any other kind of name.
std::optional<css::table::CellRangeAddress> Block(std::string_view range) {
    const size_t colon = range.find(':');
    const auto first = Position(range.substr(0, colon));
    const auto last = colon == std::string_view::npos ? first : Position(range.substr(colon + 1));
    if (!first || !last || last->first < first->first || last->second < first->second) return std::nullopt;
    css::table::CellRangeAddress area;
    area.StartColumn = first->first;
    area.StartRow = first->second;
    area.EndColumn = last->first;
    area.EndRow = last->second;
    return area;
}

} // namespace

int OfficeSpreadsheet::textHeight(std::string_view range, std::string_view text) {
    const std::vector<int> heights = textHeights(range, {std::string(text)});
    return heights.empty() ? 0 : heights.front();
}

std::vector<int> OfficeSpreadsheet::textHeights(std::string_view range,
                                                const std::vector<std::string>& texts) {
    Impl& d = *impl_;
    std::vector<int> heights(texts.size(), 0);
    Attempt([&] {
        if (!d.sheet.is()) return false;
        std::vector<OUString> lines;
        for (const std::string& text : texts) lines.push_back(U(CellLineBreaks(text)));
        // A block whose texts were all laid out before in this shape needs no call to the office.
        const auto block = Block(range);
        const bool known = block && std::all_of(lines.begin(), lines.end(), [&](const OUString& line) {
                               return d.textHeights.count(d.textKey(*block, line));
                           });
        Reference<css::table::XCell> first;
        css::table::CellRangeAddress area;
        if (known) {
            area = *block;
        } else {
            Reference<css::table::XCellRange> cells = d.sheet->getCellRangeByName(U(range));
            area = Reference<css::sheet::XCellRangeAddressable>(cells, UNO_QUERY_THROW)->getRangeAddress();
            first = cells->getCellByPosition(0, 0);
        }
        const std::vector<sal_Int32> measured =
            lines.size() == 1 ? std::vector<sal_Int32>{d.neededHeight(first, area, lines.front())}
                              : d.neededHeights(first, area, lines);
        std::copy(measured.begin(), measured.end(), heights.begin());
        return true;
    });
    return heights;
}

bool OfficeSpreadsheet::pageBreakBefore(int row) {
    return Attempt([&] {
        if (!impl_->sheet.is() || row < 1) return false;
        impl_->row(row - 1)->setPropertyValue(A("IsStartOfNewPage"), Any(true));
        return true;
    });
}

bool OfficeSpreadsheet::footerLine(FooterSide side, int line, std::string_view text) {
    return Attempt([&] { return impl_->footerLine(side, line, text); });
}

bool OfficeSpreadsheet::copyLook(std::string_view fromCell, std::string_view toRange) {
    impl_->changed(std::string("copyLook ").append(fromCell).append(" ").append(toRange));
    return Attempt([&] {
        if (!impl_->sheet.is()) return false;
        if (toRange.find(';') == std::string_view::npos) {
            CopyLook(impl_->cell(fromCell), impl_->sheet->getCellRangeByName(U(toRange)));
            return true;
        }
        // Several ranges: gathered into one container of ranges, which takes the look in one call.
        Reference<css::sheet::XSheetCellRangeContainer> ranges(
            Reference<css::lang::XMultiServiceFactory>(impl_->document, UNO_QUERY_THROW)
                ->createInstance(A("com.sun.star.sheet.SheetCellRanges")),
            UNO_QUERY_THROW);
        for (size_t from = 0; from <= toRange.size();) {
            const size_t end = std::min(toRange.find(';', from), toRange.size());
            if (end > from)
                ranges->addRangeAddress(
                    Reference<css::sheet::XCellRangeAddressable>(
                        impl_->sheet->getCellRangeByName(U(toRange.substr(from, end - from))),
                        UNO_QUERY_THROW)
                        ->getRangeAddress(),
                    false);
            from = end + 1;
        }
        CopyLook(impl_->cell(fromCell), ranges);
        return true;
    });
}

// The whole block in one round trip: the office stores each string as text, and an empty string leaves its
// cell empty (a void element would put the error #N/A there).
bool OfficeSpreadsheet::writeBlock(std::string_view topLeft,
                                   const std::vector<std::vector<std::string>>& rows) {
    if (rows.empty()) return true;
    return Attempt([&] {
        if (!impl_->sheet.is()) return false;
        size_t width = 0;
        for (const auto& row : rows) width = std::max(width, row.size());
        if (width == 0) return true;
        const auto at = Reference<css::sheet::XCellRangeAddressable>(impl_->cell(topLeft), UNO_QUERY_THROW)
                            ->getRangeAddress();
        std::vector<std::vector<Any>> grid;
        grid.reserve(rows.size());
        for (const auto& row : rows) {
            std::vector<Any> cells(width, Any(OUString()));
            for (size_t c = 0; c < row.size(); ++c)
                if (!row[c].empty()) cells[c] = Any(U(CellLineBreaks(row[c])));
            grid.push_back(std::move(cells));
        }
        SetDataArray(impl_->sheet, at.StartColumn, at.StartRow, grid);
        return true;
    });
}

bool OfficeSpreadsheet::title(std::string_view text) {
    return Attempt([&] {
        Reference<css::frame::XTitle>(impl_->document, UNO_QUERY_THROW)->setTitle(U(text));
        return true;
    });
}

bool OfficeSpreadsheet::topBorder(std::string_view firstCell, std::string_view secondCell) {
    impl_->changed(std::string("topBorder ").append(firstCell).append(" ").append(secondCell));
    return Attempt([&] {
        auto at = [&](std::string_view a) {
            return Reference<css::sheet::XCellRangeAddressable>(impl_->cell(a), UNO_QUERY_THROW)
                ->getRangeAddress();
        };
        const auto a = at(firstCell), b = at(secondCell);
        auto range = impl_->sheet->getCellRangeByPosition(
            std::min(a.StartColumn, b.StartColumn), std::min(a.StartRow, b.StartRow),
            std::max(a.StartColumn, b.StartColumn), std::max(a.StartRow, b.StartRow));
        css::table::BorderLine2 line;
        // The automatic colour of a line on a white page is black. (LibreOffice keeps its own "automatic"
        // value on a border but does not draw it.)
        line.Color = 0;
        line.LineStyle = css::table::BorderLineStyle::SOLID;
        line.OuterLineWidth = 26; // thin, in 1/100 mm
        line.LineWidth = 26;
        css::table::TableBorder2 border;
        border.TopLine = line;
        border.IsTopLineValid = true;
        Reference<css::beans::XPropertySet>(range, UNO_QUERY_THROW)
            ->setPropertyValue(A("TableBorder2"), Any(border));
        return true;
    });
}

void OfficeSpreadsheet::release() {
    Impl& d = *impl_;
    d.dropScratch();
    Attempt([&] {
        Reference<css::frame::XModel> model(d.document, UNO_QUERY_THROW);
        if (model->hasControllersLocked()) model->unlockControllers();
        if (Reference<css::document::XUndoManagerSupplier> undo{d.document, UNO_QUERY}; undo.is())
            if (auto manager = undo->getUndoManager(); manager->isLocked()) manager->unlock();
        // A freshly filled paper closes without asking to save; any edit of the user's marks it as usual.
        Reference<css::util::XModifiable>(d.document, UNO_QUERY_THROW)->setModified(false);
        return true;
    });
    if (!d.options.visible) {
        // Headless: the workbook stays with this object for storeTo until it is destroyed.
        d.sheet.clear();
        return;
    }
    // The paper was filled with no window: it is shown now, whole.
    Attempt([&] {
        Reference<css::frame::XModel> model(d.document, UNO_QUERY);
        if (!model.is() || !model->getCurrentController().is()) return false;
        auto frame = model->getCurrentController()->getFrame();
        Reference<css::awt::XWindow> window = frame->getContainerWindow();
        if (d.shown) {
            window->setVisible(true);
        }
        Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
        if (top.is()) top->toFront();
        return true;
    });
    // Another copy of the same workbook is loaded for the next paper of its kind, once this one is painted.
    if (!d.opened.empty())
        OfficeSession::of(d.pipe).prepare({d.opened}, AheadFolder(d.profile),
                                          std::chrono::milliseconds(1500));
    d.sheet.clear();
    d.document.clear();
    d.desktop.clear();
    d.office.clear();
}

void PrepareOfficePapers(const std::vector<std::string>& workbooks, const OfficeOptions& options) {
    const std::string profile = ProfileFolder(options);
    OfficeSession::of(PipeNameFor(profile)).prepare(workbooks, AheadFolder(profile), {});
}

void EndProgramOffice(const OfficeOptions& options, const std::string& watcher) {
    const std::string profile = ProfileFolder(options);
    OfficeSession::of(PipeNameFor(profile)).end(true, watcher, profile);
}

void WaitForOfficePapers(const OfficeOptions& options) {
    try {
        UnoLocalContext();
    } catch (...) {
        return;
    }
    // As long as the office listens: a connection that a busy office drops, or a question it does not
    // answer, is tried again a second later.
    const std::string pipe = PipeNameFor(ProfileFolder(options));
    Connection connection;
    while (PipeListening(pipe)) {
        if (!connection.second.is()) connection = Connect(ConnectionString(pipe));
        bool shown = true;
        if (connection.second.is() && Attempt([&] {
                shown = AnyWindowShown(connection.second);
                return true;
            })) {
            if (!shown && Attempt([&] { return static_cast<bool>(connection.second->terminate()); })) return;
        } else {
            connection = {};
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

const char* StoreFilterFor(const std::string& path) {
    std::string ending = fs::path(path).extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (ending == ".xls") return "MS Excel 97";
    if (ending == ".pdf") return "calc_pdf_Export";
    if (ending == ".ods") return "calc8";
    return nullptr;
}

Outcome OfficeSpreadsheet::storeTo(const std::string& path) {
    Impl& d = *impl_;
    const char* filter = StoreFilterFor(path);
    if (!filter)
        return Outcome::Failure("bilinmeyen dosya türü '" + fs::path(path).extension().string() +
                                "' (.xls, .pdf ya da .ods olmalı)");
    if (!d.document.is()) return Outcome::Failure("kaydedilecek doldurulmuş bir belge yok");
    std::error_code ec;
    const std::string absolute = fs::absolute(path, ec).string();
    std::string why;
    bool ok = Attempt([&] {
        const css::beans::PropertyValue props[] = {Prop("FilterName", Any(OUString::createFromAscii(filter))),
                                                   Prop("Overwrite", Any(true))};
        try {
            Reference<css::frame::XStorable>(d.document, UNO_QUERY_THROW)
                ->storeToURL(U(FileUrl(absolute)), Props(props));
        } catch (const css::uno::Exception& e) {
            why = S(e.Message);
            throw;
        }
        return true;
    });
    if (ok) return Outcome::Success();
    return Outcome::Failure("LibreOffice dosyayı yazamadı" +
                            (why.empty() ? std::string() : " (" + why + ")"));
}

} // namespace pamerol
