// Project: the add-on's object model of the project open in the host: its databases and views, the
// members of a shared project, the current database and window, and the project's module-data packages.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Environment/PackageStore.h"
#include "Foundation/Guid.h"
#include "Foundation/String.h"
#include "Foundation/Vector.h"
#include "Project/AttributeType.h"
#include "Project/DatabaseList.h"
#include "Project/User.h"

namespace tarnwick {

class City;
class DataFile;
class ClassificationDatabase;
class PropertyDatabase;
class Database;
class Detail;
class Document3D;
class Element;
class ElementLink;
class ElementLinkList;
class Elevation;
class InteriorElevation;
class LayerCombination;
class LayerMap;
class Layout;
class Library;
class LinkRecord;
class MemoryBlock;
class Model;
class Navigator;
class Package;
class Plan;
class RelatedZones;
class Section;
class Specification;
class Worksheet;

using DetailList = DatabaseList<Detail>;
using Document3DList = DatabaseList<Document3D>;
using ElevationList = DatabaseList<Elevation>;
using InteriorElevationList = DatabaseList<InteriorElevation>;
using LayoutList = DatabaseList<Layout>;   // layouts and master layouts
using SectionList = DatabaseList<Section>;
using WorksheetList = DatabaseList<Worksheet>;

// One per add-on, made by the host facade (HostProject) on first request; not copyable. It owns one
// object per project database. The floor plan and the 3D model (with empty database guids) and the
// library, attribute, property and classification databases are made with the Project and live as long;
// the other views are made from the host's database lists on first use. Every view kind is made as
// T(Project&, const Guid& databaseGuid); a Layout as Layout(Project&, const Guid&, bool master).
// clear() runs whenever the host's project changes.
//
// Host failures give null, false, 0 or an empty text; nothing is thrown but allocation failures.
class Project {
public:
    class UserList : public Vector<User> {};   // the members of a shared project, in host order

    Project();
    virtual ~Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    // When the link's type is not known it becomes the host toolbox's current tool; then the host's
    // default element record of the link's type and variation is read into `record` (its memo into
    // `memo`, or into a temporary that is disposed of when memo is null) and the link refreshed from
    // it. False on a host error.
    virtual bool loadDefaults(ElementLink& link, host::ElementRecord& record, host::ElementMemo* memo);

    // --- Databases and views ----------------------------------------------------------------------
    Plan& getPlan() const { return *plan_; }
    Model& getModel() const { return *model_; }
    Specification* getSpecification() { return specification_.get(); }   // the attributes; never null
    Library* getLibrary() { return library_.get(); }                     // never null
    ClassificationDatabase* getClassificationDatabase() { return classifications_.get(); }   // never null
    PropertyDatabase* getPropertyDatabase() { return properties_.get(); }                    // never null
    // The database of an id: the Plan for kind 1, the Model for 4, else the view of that kind filed
    // under the guid (kinds 5 and 9 both in the layout list). Null for other kinds or unknown guids.
    Database* getDatabase(const LinkRecord& id);
    // The host's current database ('GDAT') and front window ('GWIN'), asked each time so that they follow
    // the user's switching in the host; the answer is cached. Null when the host fails or names a
    // database of no known kind.
    Database* getCurrentDatabase();
    Database* getCurrentWindow();
    // Makes the database (a Drawing) the host's current one ('CDAT') / its front window ('CHWD'). When it
    // already is, as the host says, nothing is sent. A changed database forgets both caches first; only
    // a database the host accepted is cached. False for null or when the host refuses.
    bool setCurrentDatabase(Database* database);
    bool setCurrentWindow(Database* database);
    void forgetCurrent();   // forgets the two caches, nothing else

    // While a walk is in progress the host's answers on the current database and window, the current
    // storey and an empty selection are kept and not asked again: between two calls of the add-on only the
    // add-on itself changes them, and its own changes update what is kept. Answers are kept while at
    // least one token lives; the last one going forgets them, so the next question asks the host.
    std::shared_ptr<void> keepHostAnswers();
    // Not 0 while answers are kept: a number that is new each time keeping starts, so an answer noted
    // under one number is not mistaken for one of a later walk.
    std::uint64_t getAnswerEpoch() const { return answers_->keepers > 0 ? answers_->epoch : 0; }

    // Per view kind: the count, the view by 0-based index (null for a negative index or one at or past
    // the count), the view filed under a database guid (null when none). Lists load on first use.
    std::int32_t getDetailCount();
    Detail* getDetail(std::int32_t index);
    Detail* getDetail(const Guid& guid);
    std::int32_t getDocument3DCount();
    Document3D* getDocument3D(std::int32_t index);
    Document3D* getDocument3D(const Guid& guid);
    std::int32_t getElevationCount();
    Elevation* getElevation(std::int32_t index);
    Elevation* getElevation(const Guid& guid);
    std::int32_t getInteriorElevationCount();
    InteriorElevation* getInteriorElevation(std::int32_t index);
    InteriorElevation* getInteriorElevation(const Guid& guid);
    std::int32_t getLayoutCount();
    Layout* getLayout(std::int32_t index);
    Layout* getLayout(const Guid& guid);
    std::int32_t getSectionCount();
    Section* getSection(std::int32_t index);
    Section* getSection(const Guid& guid);
    std::int32_t getWorksheetCount();
    Worksheet* getWorksheet(std::int32_t index);
    Worksheet* getWorksheet(const Guid& guid);

    // A new layout ('NDAT', type 5) under the master layout guid with the name (at most 256 characters);
    // a non-empty layoutName is written as the layout's name. Filed in the layout list (replacing and
    // deleting a view filed under the same guid). Null when the host fails or a host command is running.
    Layout* newLayout(const String& name, const Guid& masterGuid, const String& layoutName);
    bool deleteLayout(const Guid& guid);   // 'DDAT'; false when not found or the host fails
    // A new worksheet ('NDAT', type 12) with the name and the second text (each at most 256 characters).
    // Null when the host fails or a host command is running.
    Worksheet* newWorksheet(const String& name, const String& secondText);

    // --- Members and teamwork ---------------------------------------------------------------------
    // Members of a shared project, read once ('SHAR'); 0 for an unshared project or a failed call.
    std::int32_t getUserCount();
    User* getUser(std::int32_t index);   // null for an index outside 0..count-1
    // Reserves the elements of the list in a shared project. True for an empty list (no host call);
    // else only when the host answers 0 and reports no conflict.
    bool reserveElements(const ElementLinkList& links);
    bool releaseElements(const ElementLinkList& links);   // true for an empty list or host result 0
    bool isShared() const;                                // false also when the host cannot say
    bool isTeamworkConnected() const;   // connected to the teamwork server; false when the host cannot say
    // Takes / gives back the shared settings of an attribute type (only layers have them: the host's
    // lockable "LayerSettingsDialog"). Only while connected and the server takes requests, and only when
    // the lock is free / held by this member. False for other types and whenever the host refuses.
    bool reserveAttributeSettings(AttributeType type);
    bool releaseAttributeSettings(AttributeType type);

    // --- Project settings -------------------------------------------------------------------------
    std::unique_ptr<DataFile> getProjectFile() const;   // 'PROJ'; null for an untitled project
    bool isMetric() const;   // 'GPRF': the working length unit is metric; false when the host cannot say
    // The north direction in radians from the x axis ('GPLA'); pi/2 (north up) when the host fails.
    double getNorthAngle() const;
    bool setNorthAngle(double angle);   // 'GPLA', then 'CPLA'; false when either fails
    // The project notes ('GPRN'), each at most 256 bytes of UTF-8; empty when the host fails.
    String getProjectName() const;
    String getProjectCity() const;
    String getProjectPostcode() const;
    String getProjectArchitect() const;
    // The project's location as a City: the project's city within 1 degree of the location ('GPLA'), given
    // the location's latitude and time zone; else a new city (not yet in the host) named by the city
    // note, at the location. Null when 'GPLA' fails. Owned by the caller.
    std::unique_ptr<City> getCity();
    // The current layer combination ('GCLC'), owned by the caller; null when there is none or the host
    // fails.
    std::unique_ptr<LayerCombination> getLayerCombination();
    // A copy of the current combination's layer map; without a current combination, the statuses of all
    // the project's layers. Null when the combination's map cannot be read.
    std::unique_ptr<LayerMap> getLayerMap();

    // --- Packages (the project's module data) -------------------------------------------------------
    Package* getPackage(std::uint32_t code) const;                          // null when none
    Package& addPackage(const Package& package, bool notify);               // files a copy
    Package* adoptPackage(std::unique_ptr<Package> package, bool notify);   // files the package itself
    void resetPackages();   // every package to its defaults, except those that keep their values
    PackageStore& getPackageStore() { return packages_; }

    // --- Tool defaults ----------------------------------------------------------------------------
    // The user data of the host's default element of the link's type and variation: a block over the
    // data (empty when there is none), or null when the host fails. The out values when asked for.
    std::unique_ptr<MemoryBlock> getDefaultUserData(const ElementLink& link, std::uint32_t* flags = nullptr,
                                                    std::uint16_t* version = nullptr,
                                                    std::uint16_t* platform = nullptr);
    // Stores the block as that default element's user data when given and (keepEmpty or not empty);
    // otherwise removes its user data. True when the host answers 0 or "no user data".
    bool setDefaultUserData(const ElementLink& link, const MemoryBlock* block, bool keepEmpty,
                            std::uint32_t flags, std::uint16_t version, std::uint16_t platform);

    // A new element of the tool default of the type and variation (loadDefaults, then the element
    // creators), with the default's memo and user data; owned by the caller. Null when the defaults
    // cannot be read or no creator makes an element of them.
    std::unique_ptr<Element> makeDefaultElement(std::uint16_t typeId, std::int32_t variation);

    // Asked before a tool places an element: is the layer of the tool default of the link's type and
    // variation usable (there, shown, unlocked, in the member's workspace)? If not and not silent, the
    // user is asked to choose another layer (the tool's settings dialog, then the check again), to
    // cancel, or to show or unlock the layer (written back to the host). True when the layer is usable
    // in the end; false when it is not, the user cancels or a host call fails.
    bool checkDefaultLayer(ElementLink& link, bool silent);

    // Drops every cache: the views, members and current database and window are forgotten and made
    // again on next use; the Plan and Model stay and are cleared.
    // The project's index of elements and their zones, made empty on first use; clear drops it.
    RelatedZones& getRelatedZones();
    Navigator& getNavigator();   // made empty on first use; clear drops it
    // One pointer a caller may keep with the project until it changes: null when made on first use, and
    // dropped by clear. What it points to is the caller's.
    void*& getScratchCell();
    void clear();

    // Writes the element back (Element::commit, with its user data as the type's default when asked);
    // then, when the element keeps them, all its properties (storeProperties) and all its classifications
    // (storeClassifications). False when the write or a store fails (a failed store does not stop the
    // other).
    bool commitElement(Element& element, bool withUserData, bool storeProperties, bool storeClassifications);

private:
    template <typename T>
    DatabaseList<T>& loadList(std::unique_ptr<DatabaseList<T>>& list, std::uint32_t code);
    LayoutList& loadLayouts();
    Database* databaseOfRecord(const host::DatabaseRecord& record);
    bool makeCurrent(Database* database, bool window);

    std::unique_ptr<Model> model_;
    std::unique_ptr<Plan> plan_;
    std::unique_ptr<Specification> specification_;
    std::unique_ptr<Library> library_;
    std::unique_ptr<RelatedZones> relatedZones_;   // made on first use
    std::unique_ptr<Navigator> navigator_;         // made on first use
    std::unique_ptr<ClassificationDatabase> classifications_;
    std::unique_ptr<PropertyDatabase> properties_;
    std::unique_ptr<UserList> users_;
    std::unique_ptr<DetailList> details_;
    std::unique_ptr<Document3DList> documents3D_;
    std::unique_ptr<ElevationList> elevations_;
    std::unique_ptr<InteriorElevationList> interiorElevations_;
    std::unique_ptr<LayoutList> layouts_;
    std::unique_ptr<SectionList> sections_;
    std::unique_ptr<WorksheetList> worksheets_;
    std::unique_ptr<void*> scratch_;   // made on first use
    struct KeptAnswers {
        std::int32_t keepers = 0;
        std::uint64_t epoch = 0;
    };

    Database* currentDatabase_ = nullptr;      // not owned; cache of 'GDAT'
    Database* currentWindow_ = nullptr;        // not owned; cache of 'GWIN'
    std::uint64_t currentDatabaseEpoch_ = 0;   // the epoch in which currentDatabase_ was learnt; 0 none
    std::uint64_t currentWindowEpoch_ = 0;
    // Shared with the tokens, so that a token outliving the project touches nothing that is gone.
    std::shared_ptr<KeptAnswers> answers_ = std::make_shared<KeptAnswers>();
    PackageStore packages_;   // "frameworkPreferenceStore", flag 1
};

}   // namespace tarnwick
