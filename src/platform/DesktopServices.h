#pragma once

#include <memory>

class ApplicationRegistry;
class ClipboardService;
class FilePreviewer;
class FileRevealer;
class UrlOpener;

// The desktop services that the views use, handed around as one bundle.
struct DesktopServices
{
    UrlOpener &urls;
    ClipboardService &clipboard;
    ApplicationRegistry &applications;
    FileRevealer &revealer;
    FilePreviewer &previewer;
};

// Owns the Linux implementations of the services above.
class SystemDesktopServices final
{
public:
    SystemDesktopServices();
    ~SystemDesktopServices();

    DesktopServices services() const;

private:
    std::unique_ptr<UrlOpener> m_urls;
    std::unique_ptr<ClipboardService> m_clipboard;
    std::unique_ptr<ApplicationRegistry> m_applications;
    std::unique_ptr<FileRevealer> m_revealer;
    std::unique_ptr<FilePreviewer> m_previewer;
};
