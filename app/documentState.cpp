#include "app/documentState.h"

#include "monitor/monitorState.h"

namespace app {

DocumentState document;

std::string shownFileName()
{
    return document.currentFileName.empty() ? std::string("(untitled)") : document.currentFileName;
}

std::string frameTitle()
{
    return "Ozmar - " + shownFileName() + " " + (monitor::monitorState.autoUploadActive ? "(Auto Upload)" : "");
}

}  // namespace app
