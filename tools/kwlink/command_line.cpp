#include "tools/kwlink/command_line.h"

#include "tools/kwlink/elf_object.h"
#include "tools/kwlink/files.h"
#include "tools/kwlink/image_link.h"
#include "tools/kwlink/link_error.h"
#include "tools/kwlink/output_forms.h"

namespace kwlink {
namespace {

constexpr const char* Usage =
    "usage: kwlink [--entry SYMBOL] [--project SYMBOL] [--resource FILE]...\n"
    "              (--engine ENGINE --output FILE | --development DIRECTORY) OBJECT...\n"
    "  --entry SYMBOL        the entry routine (default kw_main)\n"
    "  --project SYMBOL      the project table (default kw_project; none when undefined)\n"
    "  --resource FILE       a project resource, numbered from 1 in the order given\n"
    "  --engine, --output    production form: a copy of ENGINE carrying the application\n"
    "  --development DIR     development form: code1.dat, data1.dat, code2.dat, data2.dat, data3.dat\n";

struct Request {
  LinkOptions options;
  std::vector<std::string> resources;
  std::string engine;
  std::string output;
  std::string development;
  std::vector<std::string> objects;
};

Request Parse(const std::vector<std::string>& arguments) {
  Request request;
  for (size_t i = 0; i < arguments.size(); i++) {
    const std::string& argument = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 == arguments.size()) throw LinkError(argument + " needs a value");
      return arguments[++i];
    };
    if (argument == "--entry")
      request.options.entrySymbol = value();
    else if (argument == "--project")
      request.options.projectSymbol = value();
    else if (argument == "--resource")
      request.resources.push_back(value());
    else if (argument == "--engine")
      request.engine = value();
    else if (argument == "--output")
      request.output = value();
    else if (argument == "--development")
      request.development = value();
    else if (argument.starts_with("-"))
      throw LinkError("unknown option " + argument);
    else
      request.objects.push_back(argument);
  }
  const bool production = !request.engine.empty() || !request.output.empty();
  if (production && (request.engine.empty() || request.output.empty()))
    throw LinkError("the production form needs both --engine and --output");
  if (production == !request.development.empty()) throw LinkError("give either --engine and --output or --development");
  if (request.objects.empty()) throw LinkError("no objects to link");
  return request;
}

void Run(const Request& request) {
  std::vector<ElfObject> objects;
  for (const std::string& path : request.objects) objects.push_back(ReadElfObject(path, ReadWholeFile(path)));
  const ImageBlocks blocks = EncodeImage(LinkObjects(objects, request.options));
  std::vector<std::vector<uint8_t>> resources;
  for (const std::string& path : request.resources) resources.push_back(ReadWholeFile(path));
  const std::vector<uint8_t> resourceBlock = BuildResourceBlock(resources);
  if (request.development.empty())
    WriteProductionForm(request.engine, request.output, resourceBlock, blocks);
  else
    WriteDevelopmentForm(request.development, resourceBlock, blocks);
}

}  // namespace

int RunKwlink(const std::vector<std::string>& arguments, std::ostream& errors) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    errors << Usage;
    return 0;
  }
  try {
    Run(Parse(arguments));
    return 0;
  } catch (const std::exception& error) {  // LinkError, and failures such as running out of memory
    errors << "kwlink: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace kwlink
