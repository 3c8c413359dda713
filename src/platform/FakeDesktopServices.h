#pragma once

#include "platform/DesktopServices.h"
#include "platform/FakeApplicationRegistry.h"
#include "platform/FakeClipboardService.h"
#include "platform/FakeFilePreviewer.h"
#include "platform/FakeFileRevealer.h"
#include "platform/FakeUrlOpener.h"

// The fakes of every desktop service, bundled; for tests.
struct FakeDesktopServices
{
    FakeUrlOpener urls;
    FakeClipboardService clipboard;
    FakeApplicationRegistry applications;
    FakeFileRevealer revealer;
    FakeFilePreviewer previewer;

    DesktopServices services() { return {urls, clipboard, applications, revealer, previewer}; }
};
