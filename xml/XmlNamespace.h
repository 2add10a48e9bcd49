#pragma once

#include <string>

/// One namespace declaration met in a document: one record per distinct uri.
struct XmlNamespace {
    std::string uri;    ///< the declared value, entity-decoded
    std::string prefix; ///< the part after "xmlns:"; empty for a default declaration ("xmlns=")
};
