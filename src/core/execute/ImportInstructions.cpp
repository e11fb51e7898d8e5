#include "execute/ImportInstructions.h"

#include "schema/FormCatalogue.h"

#include <string_view>

namespace impmap {
namespace {

// The steps after the head for the forms managed in the product's file menu.
std::string ManagedSteps(std::string_view form, std::string_view menuEntry)
{
    return "3) Select the client to be used\r\n"
           "4) Select Form " +
           std::string(form) + "\r\n5) From the 'File' menu, select '" + std::string(menuEntry) +
           "'\r\n6) Import the FILE in the PATH specified above.";
}

} // namespace

std::string ImportInstructions(int formIndex, const std::string& fileName,
                               const std::string& folder)
{
    std::string text = "Destination has been saved in\r\n\r\nFILE:  " + fileName +
                       "\r\nPATH:  " + folder +
                       "\r\n\r\nTo import this file\r\n\r\n1) Start VELLORUM\r\n"
                       "2) From the 'Module' menu, select 'Client (Filer, Entity) Management'\r\n";
    switch (formIndex) {
    case 0: // Clients
        return text + "3) From the 'Import/Export' sidebar menu, select 'Import Text File'\r\n"
                      "4) Open the FILE in the PATH specified above.";
    case 1: // Sponsors
        return text + ManagedSteps("1095-B", "Sponsor Management");
    case 2: // ALE Group
        return text + ManagedSteps("1095-C", "ALE Group Member Management");
    case 3: // 1094-C
        return text + ManagedSteps("1095-C", "Transmittal 1094-C Options");
    default: {
        std::string_view form = formIndex >= 0 && formIndex < kFormCount
                                    ? FormNames[static_cast<size_t>(formIndex)]
                                    : std::string_view();
        form = form.substr(0, form.find(' '));
        return text + "3) Select the client to be used\r\n4) Select Form " + std::string(form) +
               "\r\n5) From the 'File' menu, select 'Import ASCII Text File'\r\n"
               "6) Open the FILE in the PATH specified above.";
    }
    }
}

} // namespace impmap
