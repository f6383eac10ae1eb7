// CDialogBuilder: turns a layout document into the window attributes, the font table and
// the control tree of a paint manager. Element names compare without case; names the
// toolkit does not know go to the creation hook, and an element it declines is skipped
// with everything inside it.
#pragma once

#include <memory>
#include <string>

#include "ui/toolkit/control_ui.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/xml_document.h"

namespace SkinUI {

class CPaintManagerUI;

class CDialogBuilder {
public:
    // Reads the layout item `layoutFile` of the manager's skin. nullptr when the item is
    // missing, is not a well-formed "Window" document or holds no control.
    std::unique_ptr<CControlUI> Create(const std::wstring& layoutFile, IDialogBuilderCallback* callback,
                                       CPaintManagerUI* manager);
    // The same for layout text in hand (UTF-8).
    std::unique_ptr<CControlUI> CreateFromText(const std::string& layoutText, IDialogBuilderCallback* callback,
                                               CPaintManagerUI* manager);

    // Why the last Create returned nothing.
    const std::wstring& GetLastError() const { return m_Error; }

    // A control of a class the toolkit knows, by element name; nullptr otherwise.
    static std::unique_ptr<CControlUI> CreateKnownControl(const std::wstring& className);

private:
    std::unique_ptr<CControlUI> Build(const XmlElement& window, IDialogBuilderCallback* callback,
                                      CPaintManagerUI* manager);
    std::unique_ptr<CControlUI> BuildControl(const XmlElement& element, IDialogBuilderCallback* callback);

    std::wstring m_Error;
};

}  // namespace SkinUI
