// Specification: the project's database of attributes (pens, layers, line types, fills, composites,
// surfaces, cities, layer combinations, zone categories, fonts, profiles, building materials): it makes
// attribute objects for links through a registry of creators, walks the attributes, writes changed
// attributes back and deletes attributes.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/String.h"
#include "Project/Attribute.h"
#include "Project/AttributeLink.h"
#include "Project/AttributeType.h"
#include "Project/Database.h"

namespace tarnwick {

class AttrRefList;
class AttributeIterator;
class Project;

// Owned by its Project; not copyable. It caches nothing but the code of its last host attribute call
// (getLastResult, 0 = success). Host errors give null or false; nothing is thrown but allocation failures
// and the iterators' errors.
class Specification : public Database {
public:
    // Chooses the attributes of a walk. Copy freely; kinds override clone and accepts.
    class Filter {
    public:
        // type none: every type. countCache: a forward search takes the count of its type from the
        // filter (once a search has stored one) instead of asking the host. The third flag is carried.
        explicit Filter(AttributeType type = AttributeType::none, bool countCache = false,
                        bool thirdFlag = false);
        Filter(const Filter&) = default;
        Filter& operator=(const Filter&) = default;

        // Virtual operations, in this order.
        virtual ~Filter();
        virtual std::unique_ptr<Filter> clone() const;
        virtual bool accepts(const Attribute& attribute) const;   // every attribute here

        AttributeType getType() const { return type_; }
        bool usesCountCache() const { return countCache_; }
        bool getThirdFlag() const { return thirdFlag_; }
        // The count of the type in which the last search found its attribute; 0 when made.
        std::int32_t getCachedCount() const { return cachedCount_; }
        void setCachedCount(std::int32_t count) { cachedCount_ = count; }

    private:
        AttributeType type_;
        bool countCache_;
        bool thirdFlag_;
        std::int32_t cachedCount_ = 0;
    };

    // Makes the wrapper of one host attribute: a new Attribute, or null when the creator does not
    // handle the definition (every creator returns null for a type other than its own).
    using Creator = std::unique_ptr<Attribute> (*)(const host::AttributeDefinition& definition,
                                                   const AttributeLink& link);

    explicit Specification(Project& project);
    ~Specification() override;

    // --- Virtual operations, in the order of the interface -------------------------------------------
    void clear() override;              // nothing is cached
    String typeName() const override;   // "Specification"

    // --- Reading ------------------------------------------------------------------------------------
    // The host's count of the type: its highest index in use (deleted indices below it do not load).
    // For type none the sum over types 1 to 18, kept in 16 bits (it wraps). 0 when the host fails.
    std::uint16_t getCount(AttributeType type);
    std::unique_ptr<Attribute> getAttribute(const AttributeLink& link);   // loadAttribute without filter
    // The attribute of the link, made by the creators and owned by the caller. Null for type none or
    // index 0, a negative index (but for composites, read as its absolute value), a filter of another
    // type, a host error (deleted attributes), no creator, or a filter that refuses it.
    std::unique_ptr<Attribute> loadAttribute(const AttributeLink& link, const Filter* filter);
    // The next (forward) or previous attribute after the link's position that loads and passes the
    // filter, walking on into the following (preceding) types unless the filter fixes the type. The
    // count in force is stored in the filter. Null when the walk ends.
    std::unique_ptr<Attribute> seek(const AttributeLink& link, bool forward, Filter* filter);
    // A new extended definition of the attribute (a negative composite index read as its absolute
    // value); null on a host error. Released by its disposal.
    AttributeExtensionPtr loadDefinition(const AttributeLink& link);

    // --- Walks --------------------------------------------------------------------------------------
    // From the first attribute of the filter's type (type 1 when it has none). With writeBack each
    // attribute is written back when the walk leaves it.
    AttributeIterator begin(const Filter& filter, bool writeBack);
    // From the last attribute of the filter's type (type 18 when it has none), stepping backwards. The
    // filter's cached count is set to 0.
    AttributeIterator rbegin(Filter& filter, bool writeBack);
    // The attributes of the links of the list, in its order, that load and pass the filter (links of any
    // Specification; each is loaded from its own).
    static AttributeIterator begin(const AttrRefList& links, const Filter& filter, bool writeBack);
    static AttributeIterator end();

    // --- Writing ------------------------------------------------------------------------------------
    // Creates the attribute here (record index 0, or an attribute of another Specification) or changes
    // it; on success the host's header is copied into its record and it is linked to its index here.
    // False on a host error, for a kind without a host record, and for an attribute whose record could
    // not be read (writing it would replace the host's attribute by an empty one).
    bool write(Attribute& attribute);
    bool remove(const AttributeLink& link);   // true when the host deleted it
    // One host delete per type, types ascending, each with that type's indices in the reverse of their
    // order in the list. True only when every delete succeeded (an empty list: true).
    bool removeAll(const AttrRefList& links);

    std::uint32_t getLastResult() const { return lastResult_; }

    // --- Look-ups -----------------------------------------------------------------------------------
    // The pen nearest to the colour (red, green, blue 0..1; by distance in the colour cube), of equally
    // near ones the one whose width is least above (or most below) the width. 0 when there is no pen.
    std::int16_t findPen(double red, double green, double blue, double width);
    // The first city whose longitude and latitude each lie within 1 degree of these; 0 when none.
    std::int16_t findCity(double longitude, double latitude);

    // --- The creator registry (one per process) -------------------------------------------------------
    // Files the creator under the type, after those already filed (the registration list, made on first
    // use). Nothing for a null creator.
    static void registerCreator(AttributeType type, Creator creator);
    static void registerCreators();     // add-on start: makes the (empty) base list
    static void unregisterCreators();   // add-on end: deletes both lists
    // The registration list first, then the base list; in each the creators of the definition's type in
    // filing order; the first non-null answer. Null when none answers.
    static std::unique_ptr<Attribute> makeAttribute(const host::AttributeDefinition& definition,
                                                    const AttributeLink& link);

private:
    std::uint32_t lastResult_ = 0;
};

// The product's start-up call: files the creators of the attribute kinds under their types.
void registerAttributeCreators();

}   // namespace tarnwick
