#pragma once

#include "../TestSupport.h"
#include "mapping/Workspace.h"

#include <gtest/gtest.h>

namespace impmap::test {

// A workspace with a source file of the given lines (joined by CR LF) already opened.
class WorkspaceFixture : public ::testing::Test
{
protected:
    void OpenSource(const std::string& bytes, HeaderMode header = HeaderMode::Read,
                    const std::string& name = "src.csv")
    {
        const std::string path = dir.File(name);
        WriteFile(path, bytes);
        workspace.SetHeader(header);
        workspace.SetSourcePath(path);
        workspace.OpenSource();
    }

    std::vector<std::string> Values() const
    {
        std::vector<std::string> values;
        for (const DestinationRow& row : workspace.Rows())
            values.push_back(row.value);
        return values;
    }

    int RowOf(const std::string& caption) const
    {
        const auto& rows = workspace.Rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].caption == caption)
                return static_cast<int>(i);
        }
        ADD_FAILURE() << "no row " << caption;
        return -1;
    }

    const std::string& ValueOf(const std::string& caption) const
    {
        return workspace.Rows()[static_cast<size_t>(RowOf(caption))].value;
    }

    TempDir dir;
    Workspace workspace;
};

} // namespace impmap::test
