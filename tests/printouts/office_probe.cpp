// SPDX-License-Identifier: GPL-3.0-or-later
#include "office_probe.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XHeaderFooterContent.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "printouts/uno_context.h"

namespace pamerol::testing {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

OUString U(const std::string& s) {
    return rtl::OStringToOUString(rtl::OString(s.c_str()), RTL_TEXTENCODING_UTF8);
}
std::string S(const OUString& s) {
    return rtl::OUStringToOString(s, RTL_TEXTENCODING_UTF8).getStr();
}

// An office exception is no std::exception: pass its message on, so that a failing test says what went wrong.
template <typename F> auto Uno(const char* what, F&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const css::uno::Exception& e) {
        throw std::runtime_error(std::string(what) + ": " + S(e.Message));
    }
}

std::string Column(int index) {
    std::string letters;
    for (int n = index + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters;
}

} // namespace

struct OfficeProbe::Impl {
    Reference<css::uno::XComponentContext> context; // the office's
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::lang::XComponent> document;
    Reference<css::sheet::XSpreadsheet> sheet;

    Reference<css::table::XCellRange> range(const std::string& address) {
        if (!sheet.is()) throw std::runtime_error("no workbook loaded");
        return sheet->getCellRangeByName(U(address));
    }
    void close() {
        if (Reference<css::util::XCloseable> c{document, UNO_QUERY}; c.is()) c->close(true);
        document.clear();
        sheet.clear();
    }
};

OfficeProbe::OfficeProbe(const std::string& connection) : impl_(std::make_unique<Impl>()) {
    Uno("connect", [&] {
        Reference<css::uno::XComponentContext> local = UnoLocalContext();
        Reference<css::bridge::XUnoUrlResolver> resolver(
            local->getServiceManager()->createInstanceWithContext(
                OUString::createFromAscii("com.sun.star.bridge.UnoUrlResolver"), local),
            UNO_QUERY_THROW);
        // A busy machine now and then drops a fresh connection; the reading side tries again.
        for (int attempt = 1;; ++attempt) {
            try {
                Reference<css::uno::XComponentContext> office(resolver->resolve(U(connection)),
                                                              UNO_QUERY_THROW);
                impl_->desktop = css::frame::Desktop::create(office);
                impl_->context = office;
                return;
            } catch (const css::uno::RuntimeException&) {
                if (attempt == 3) throw;
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            }
        }
    });
}

OfficeProbe::~OfficeProbe() {
    try {
        impl_->close();
    } catch (...) {
    }
}

bool OfficeProbe::load(const std::string& path) {
    return Uno("load", [&] {
        impl_->close();
        css::beans::PropertyValue hidden;
        hidden.Name = OUString::createFromAscii("Hidden");
        hidden.Value <<= true;
        impl_->document = impl_->desktop->loadComponentFromURL(
            U("file://" + path), OUString::createFromAscii("_blank"), 0, css::uno::Sequence(&hidden, 1));
        Reference<css::frame::XModel> model(impl_->document, UNO_QUERY);
        if (!model.is()) return false;
        Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(), UNO_QUERY_THROW);
        impl_->sheet = view->getActiveSheet();
        return impl_->sheet.is();
    });
}

CellContent OfficeProbe::cell(const std::string& address) {
    return Uno("cell", [&] {
        Reference<css::table::XCell> c = impl_->range(address)->getCellByPosition(0, 0);
        CellContent out;
        switch (c->getType()) {
        case css::table::CellContentType_VALUE: out.kind = CellContent::Number; break;
        case css::table::CellContentType_TEXT: out.kind = CellContent::Text; break;
        case css::table::CellContentType_FORMULA: out.kind = CellContent::Formula; break;
        default: out.kind = CellContent::Empty; break;
        }
        out.value = c->getValue();
        out.shown = S(Reference<css::text::XTextRange>(c, UNO_QUERY_THROW)->getString());
        return out;
    });
}

std::string OfficeProbe::mergedArea(const std::string& address) {
    return Uno("mergedArea", [&] {
        Reference<css::sheet::XSheetCellRange> start(impl_->range(address), UNO_QUERY_THROW);
        Reference<css::sheet::XSheetCellCursor> cursor = impl_->sheet->createCursorByRange(start);
        cursor->collapseToMergedArea();
        auto a = Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
        std::string first = Column(a.StartColumn) + std::to_string(a.StartRow + 1);
        std::string last = Column(a.EndColumn) + std::to_string(a.EndRow + 1);
        return first == last ? first : first + ":" + last;
    });
}

bool OfficeProbe::rightAligned(const std::string& address) {
    return Uno("rightAligned", [&] {
        css::table::CellHoriJustify h{};
        Reference<css::beans::XPropertySet>(impl_->range(address), UNO_QUERY_THROW)
            ->getPropertyValue(OUString::createFromAscii("HoriJustify")) >>= h;
        return h == css::table::CellHoriJustify_RIGHT;
    });
}

bool OfficeProbe::wrapped(const std::string& address) {
    return Uno("wrapped", [&] {
        bool wrap = false;
        Reference<css::beans::XPropertySet>(impl_->range(address), UNO_QUERY_THROW)
            ->getPropertyValue(OUString::createFromAscii("IsTextWrapped")) >>= wrap;
        return wrap;
    });
}

BorderLine OfficeProbe::topBorder(const std::string& address) {
    return Uno("topBorder", [&] {
        css::table::BorderLine2 line;
        Reference<css::beans::XPropertySet>(impl_->range(address), UNO_QUERY_THROW)
            ->getPropertyValue(OUString::createFromAscii("TopBorder2")) >>= line;
        BorderLine out;
        out.present = line.OuterLineWidth > 0 || line.InnerLineWidth > 0;
        out.style = line.LineStyle;
        out.width = static_cast<int>(line.LineWidth);
        out.color = line.Color;
        return out;
    });
}

int OfficeProbe::rowHeight(int row) {
    return Uno("rowHeight", [&] {
        Reference<css::table::XColumnRowRange> sheet(impl_->sheet, UNO_QUERY_THROW);
        sal_Int32 height = 0;
        Reference<css::beans::XPropertySet>(sheet->getRows()->getByIndex(row - 1), UNO_QUERY_THROW)
            ->getPropertyValue(OUString::createFromAscii("Height")) >>= height;
        return height;
    });
}

PageSetup OfficeProbe::page() {
    return Uno("page", [&] {
        auto get = [](const Reference<css::beans::XPropertySet>& p, const char* name) {
            return p->getPropertyValue(OUString::createFromAscii(name));
        };
        Reference<css::beans::XPropertySet> sheet(impl_->sheet, UNO_QUERY_THROW);
        OUString styleName;
        get(sheet, "PageStyle") >>= styleName;
        Reference<css::style::XStyleFamiliesSupplier> families(impl_->document, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> pageStyles(
            families->getStyleFamilies()->getByName(OUString::createFromAscii("PageStyles")),
            UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> style(pageStyles->getByName(styleName), UNO_QUERY_THROW);
        PageSetup out;
        get(style, "Width") >>= out.width;
        get(style, "Height") >>= out.height;
        get(style, "IsLandscape") >>= out.landscape;
        get(style, "LeftMargin") >>= out.leftMargin;
        get(style, "RightMargin") >>= out.rightMargin;
        get(style, "TopMargin") >>= out.topMargin;
        get(style, "BottomMargin") >>= out.bottomMargin;
        get(style, "FooterHeight") >>= out.footerHeight;
        get(style, "FooterIsOn") >>= out.footer;
        Reference<css::sheet::XHeaderFooterContent> footer;
        get(style, "RightPageFooterContent") >>= footer;
        if (footer.is()) {
            out.footerLeft = S(footer->getLeftText()->getString());
            out.footerRight = S(footer->getRightText()->getString());
        }
        out.printRanges =
            Reference<css::sheet::XPrintAreas>(impl_->sheet, UNO_QUERY_THROW)->getPrintAreas().getLength();
        return out;
    });
}

namespace {

// The office's frames with their titles and whether each is on screen.
std::vector<std::pair<Reference<css::frame::XFrame>, bool>>
Frames(const Reference<css::frame::XDesktop2>& desktop) {
    std::vector<std::pair<Reference<css::frame::XFrame>, bool>> out;
    Reference<css::container::XIndexAccess> frames(desktop->getFrames(), UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < frames->getCount(); ++i) {
        Reference<css::frame::XFrame> frame(frames->getByIndex(i), UNO_QUERY_THROW);
        Reference<css::awt::XWindow2> window(frame->getContainerWindow(), UNO_QUERY_THROW);
        out.emplace_back(frame, window->isVisible());
    }
    return out;
}

std::string Title(const Reference<css::frame::XFrame>& frame) {
    return S(Reference<css::frame::XTitle>(frame, UNO_QUERY_THROW)->getTitle());
}

} // namespace

std::vector<std::string> OfficeProbe::shownWindows() {
    return Uno("shownWindows", [&] {
        std::vector<std::string> titles;
        for (const auto& [frame, shown] : Frames(impl_->desktop))
            if (shown) titles.push_back(Title(frame));
        return titles;
    });
}

int OfficeProbe::hiddenWindows() {
    return Uno("hiddenWindows", [&] {
        int hidden = 0;
        for (const auto& [frame, shown] : Frames(impl_->desktop)) hidden += !shown;
        return hidden;
    });
}

bool OfficeProbe::closeWindow(const std::string& title) {
    return Uno("closeWindow", [&] {
        for (const auto& [frame, shown] : Frames(impl_->desktop)) {
            if (!shown || Title(frame).find(title) == std::string::npos) continue;
            css::frame::DispatchHelper::create(impl_->context)
                ->executeDispatch(Reference<css::frame::XDispatchProvider>(frame, UNO_QUERY_THROW),
                                  OUString::createFromAscii(".uno:CloseWin"), OUString(), 0, {});
            return true;
        }
        return false;
    });
}

void OfficeProbe::endOffice() {
    impl_->close();
    try {
        impl_->desktop->terminate();
    } catch (const css::uno::Exception&) {
        // the office may go before it answers
    }
    impl_->desktop.clear();
}

int OfficeProbe::formulaCount() {
    return Uno("formulaCount", [&] {
        Reference<css::sheet::XCellRangesQuery> query(impl_->sheet, UNO_QUERY_THROW);
        auto ranges = query->queryContentCells(css::sheet::CellFlags::FORMULA);
        int count = 0;
        for (const auto& a : ranges->getRangeAddresses())
            count += (a.EndColumn - a.StartColumn + 1) * (a.EndRow - a.StartRow + 1);
        return count;
    });
}

} // namespace pamerol::testing
