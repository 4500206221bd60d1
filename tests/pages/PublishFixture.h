#pragma once

#include <gtest/gtest.h>

#include <QtGlobal>

#include "FakePrompt.h"
#include "pages/PageGenerator.h"
#include "support/TestSupport.h"

namespace kpx::test {

// A publishing run into fresh folders: source, html (also the movie folder)
// and a temporary folder of its own; the html file name "ezmovie.html".
class PublishFixture : public ::testing::Test
{
protected:
    TempDir source, html, temp;
    FakePrompt prompt;
    TPublishJob job;
    TEntryList list;

    void SetUp() override
    {
        qputenv("TMPDIR", temp.path().c_str());
        job.SourceDir = source.cp932();
        job.HtmlDir = html.cp932();
        job.MovieDir = html.cp932();
        job.HtmlFileName = "ezmovie.html";
    }
    void TearDown() override { qunsetenv("TMPDIR"); }
};

} // namespace kpx::test
